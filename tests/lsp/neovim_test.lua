-- Edits the game's source in headless Neovim with its built-in client and
-- the editor configuration the SDK ships (editors/nvim/kvbasic.lua):
-- filetype and highlighting, live errors as lines change, completion,
-- hover with the command reference and go to definition; one server for a
-- program and its library in lib/.
--
--   KVBASIC=<kvbasic> KV_SOURCE_DIR=<source> KV_SCRATCH=<folder> \
--     nvim --headless --clean -u NONE -c 'luafile neovim_test.lua'
-- Exit code 0 when every check passes, 1 otherwise.

local source = os.getenv('KV_SOURCE_DIR')
local scratch = os.getenv('KV_SCRATCH')

local function fail(message)
  error(message, 2)
end
local function check(condition, message)
  if not condition then fail(message) end
end
local function wait_for(what, condition)
  check(vim.wait(20000, condition, 20), 'timed out waiting for ' .. what)
end

local function run()
  vim.g.kvbasic_command = { os.getenv('KVBASIC'), 'lsp' }
  vim.cmd('syntax on')
  dofile(source .. '/editors/nvim/kvbasic.lua')

  -- A copy of the game, so that the editing stays in the scratch folder.
  vim.fn.mkdir(scratch, 'p')
  local path = scratch .. '/zorvelin.bas'
  check(vim.fn.writefile(vim.fn.readfile(source .. '/game/zorvelin.bas', 'b'), path, 'b') == 0, 'cannot copy the game')
  local published = 0
  local publish = vim.lsp.handlers['textDocument/publishDiagnostics']
  vim.lsp.handlers['textDocument/publishDiagnostics'] = function(...)
    published = published + 1
    return publish(...)
  end
  vim.cmd('edit ' .. vim.fn.fnameescape(path))
  local buffer = vim.api.nvim_get_current_buf()
  local uri = vim.uri_from_bufnr(buffer)

  check(vim.bo.filetype == 'kvbasic', 'filetype is ' .. vim.bo.filetype)
  local lines = vim.api.nvim_buf_get_lines(buffer, 0, -1, false)
  local function line_of(start)
    for index, line in ipairs(lines) do
      if line:sub(1, #start) == start then return index - 1 end
    end
    fail('the game has no line starting with ' .. start)
  end
  local load = line_of('LOADSPRITE "katze_rechts.bmp"')
  local group = vim.fn.synIDattr(vim.fn.synID(load + 1, 1, 1), 'name')
  check(group == 'kvbasicCommand', 'LOADSPRITE is highlighted as ' .. group)

  local client
  wait_for('the server to start', function()
    local clients = vim.lsp.buf_get_clients(buffer)
    client = clients[next(clients) or 0]
    return client ~= nil and client.initialized
  end)
  wait_for('the diagnostics of the opened game', function() return published >= 1 end)
  check(#vim.diagnostic.get(buffer) == 0, 'the game has errors')

  -- Live errors: two wrong lines typed at the top.
  vim.api.nvim_buf_set_lines(buffer, 0, 0, false, { 'FROBNICATE 1, 2', 'GOSUB nirgendwo' })
  wait_for('the errors of the typed lines', function() return #vim.diagnostic.get(buffer) == 2 end)
  local errors = vim.diagnostic.get(buffer)
  table.sort(errors, function(a, b) return a.lnum < b.lnum end)
  check(errors[1].lnum == 0 and errors[1].col == 0 and errors[1].message == 'unknown command FROBNICATE', errors[1].message)
  check(errors[2].lnum == 1 and errors[2].col == 6 and errors[2].message == 'GOSUB to unknown SUB nirgendwo', errors[2].message)
  check(errors[1].severity == vim.diagnostic.severity.ERROR, 'errors are errors')
  -- Fixed again: no errors.
  vim.api.nvim_buf_set_lines(buffer, 0, 2, false, {})
  wait_for('the errors to go', function() return #vim.diagnostic.get(buffer) == 0 end)

  local function request(method, line, character)
    local answers = vim.lsp.buf_request_sync(buffer, method,
      { textDocument = { uri = uri }, position = { line = line, character = character } }, 10000)
    check(answers ~= nil and answers[client.id] ~= nil, 'no answer to ' .. method)
    check(answers[client.id].err == nil, method .. ' failed')
    return answers[client.id].result
  end

  -- Completion after LOADSP: the command with its arguments.
  local items = request('textDocument/completion', load, 6)
  local found
  for _, item in ipairs(items) do
    if item.label == 'LOADSPRITE' then found = item end
  end
  check(found ~= nil and found.detail == 'LOADSPRITE(file$, slot) -> number', 'LOADSPRITE is not offered')

  -- Hover: the row of docs/commands.md.
  local hover = request('textDocument/hover', load, 3)
  check(hover ~= nil and hover.contents.value:find('into the sprite slot', 1, true) ~= nil,
    'no command reference in the hover')

  -- Go to definition from GOSUB intro to SUB intro.
  local gosub = line_of('GOSUB intro')
  local location = request('textDocument/definition', gosub, 8)
  location = location[1] or location
  check(location.range.start.line == line_of('SUB intro'), 'GOSUB intro does not lead to SUB intro')

  -- One server per project: a library in lib/ opened first is served by
  -- the server of the program beside it that INCLUDEs it, and its unsaved
  -- errors reach the program's INCLUDE.
  local project = scratch .. '-project'  -- beside the game's folder, not in it
  vim.fn.mkdir(project .. '/lib', 'p')
  local lib_path, main_path = project .. '/lib/arcade.bas', project .. '/main.bas'
  vim.fn.writefile({ 'SUB blink:', '  count = count + 1', 'ENDSUB' }, lib_path)
  vim.fn.writefile({ 'GOSUB blink', 'END', 'INCLUDE "lib/arcade.bas"' }, main_path)
  local function client_of(buf)
    local attached
    wait_for('a server for ' .. vim.api.nvim_buf_get_name(buf), function()
      local clients = vim.lsp.buf_get_clients(buf)
      attached = clients[next(clients) or 0]
      return attached ~= nil and attached.initialized
    end)
    return attached
  end
  vim.cmd('edit ' .. vim.fn.fnameescape(lib_path))
  local lib_buffer = vim.api.nvim_get_current_buf()
  local lib_client = client_of(lib_buffer)
  check(lib_client.id ~= client.id, 'the project shares the server of the game')
  check(lib_client.config.root_dir == project, 'the library is served from ' .. tostring(lib_client.config.root_dir))
  vim.cmd('edit ' .. vim.fn.fnameescape(main_path))
  local main_buffer = vim.api.nvim_get_current_buf()
  local main_client = client_of(main_buffer)
  check(main_client.id == lib_client.id, 'the program and its library have servers of their own')
  wait_for('the diagnostics of main.bas', function() return published >= 3 end)
  check(#vim.diagnostic.get(main_buffer) == 0, 'main.bas has errors')
  vim.api.nvim_buf_set_lines(lib_buffer, 1, 1, false, { '  FROBNICATE 1' })
  wait_for('the library\'s unsaved error at the INCLUDE', function()
    local errors = vim.diagnostic.get(main_buffer)
    return #errors == 1 and errors[1].lnum == 2 and errors[1].message == 'in "lib/arcade.bas" line 2: unknown command FROBNICATE'
  end)

  for _, each in ipairs({ client, lib_client }) do
    vim.lsp.stop_client(each.id)
    wait_for('the server to stop', function() return vim.lsp.get_client_by_id(each.id) == nil end)
  end
end

local ok, message = pcall(run)
if ok then
  io.stdout:write('kvbasic lsp: every check passed in Neovim\n')
  vim.cmd('qall!')
else
  io.stderr:write('FAILED: ' .. tostring(message) .. '\n')
  vim.cmd('cquit 1')
end
