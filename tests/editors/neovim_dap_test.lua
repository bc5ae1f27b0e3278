-- The SDK's Neovim configuration (editors/nvim/kvbasic.lua) and its
-- debugger part (kvbasic_dap.lua) in headless Neovim: without nvim-dap it
-- loads cleanly; with a stand-in `dap` module (nvim-dap's tables, nothing
-- else) on the runtimepath it registers the adapter and the launch
-- configuration at the first .bas file; then Lua here does what nvim-dap
-- does with them: starts the adapter as they say (on libuv pipes, as
-- nvim-dap does), launches the current file, stops at a breakpoint, steps
-- once, reads the variables and disconnects. Last, vim.g.kvbasic_command
-- names the adapter's program.
--
--   PATH=<folder of kvbasic>:$PATH KV_SOURCE_DIR=<source> KV_SCRATCH=<folder> \
--     nvim --headless --clean -u NONE -c 'luafile neovim_dap_test.lua'
-- Exit code 0 when every check passes, 1 otherwise.

local source = os.getenv('KV_SOURCE_DIR')
local scratch = os.getenv('KV_SCRATCH')
local uv = vim.loop

local function check(condition, message)
  if not condition then error(message, 2) end
end
local function wait_for(what, condition)
  check(vim.wait(60000, condition, 10), 'timed out waiting for ' .. what)
end

-- A client of the Debug Adapter Protocol on the adapter's standard input
-- and output.
local function start_adapter(adapter)
  local stdin, stdout, stderr = uv.new_pipe(false), uv.new_pipe(false), uv.new_pipe(false)
  local session = { received = '', messages = {}, seq = 0, stderr = '', exited = nil }
  local handle
  handle = uv.spawn(adapter.command, { args = adapter.args, stdio = { stdin, stdout, stderr } }, function(code)
    session.exited = code
    handle:close()
  end)
  check(handle ~= nil, 'cannot start ' .. adapter.command)
  stdout:read_start(function(_, chunk) if chunk then session.received = session.received .. chunk end end)
  stderr:read_start(function(_, chunk) if chunk then session.stderr = session.stderr .. chunk end end)

  -- Moves the complete frames received so far into session.messages.
  local function take_frames()
    while true do
      local header_end = session.received:find('\r\n\r\n', 1, true)
      if header_end == nil then return end
      local length = tonumber(session.received:sub(1, header_end):match('Content%-Length: *(%d+)'))
      check(length ~= nil, 'a frame without Content-Length: ' .. session.received:sub(1, header_end))
      if #session.received < header_end + 3 + length then return end
      local body = session.received:sub(header_end + 4, header_end + 3 + length)
      session.received = session.received:sub(header_end + 4 + length)
      table.insert(session.messages, vim.fn.json_decode(body))
    end
  end

  -- The first message that `matches`, taken out of the queue.
  function session.wait(what, matches)
    local found
    wait_for(what .. ' (adapter said on stderr: ' .. session.stderr .. ')', function()
      take_frames()
      for index, message in ipairs(session.messages) do
        if matches(message) then
          found = table.remove(session.messages, index)
          return true
        end
      end
      return session.exited ~= nil and error('the adapter ended (' .. session.exited .. ') while waiting for ' .. what
        .. '; stderr: ' .. session.stderr)
    end)
    return found
  end

  -- Sends a request; its sequence number, for session.response.
  function session.send(command, arguments)
    session.seq = session.seq + 1
    local body = vim.fn.json_encode({ seq = session.seq, type = 'request', command = command, arguments = arguments })
    stdin:write('Content-Length: ' .. #body .. '\r\n\r\n' .. body)
    return session.seq
  end

  function session.response(seq, command)
    local response = session.wait('the answer to ' .. command, function(message)
      return message.type == 'response' and message.request_seq == seq
    end)
    check(response.success, command .. ' failed: ' .. tostring(response.message))
    return response.body or {}
  end

  function session.request(command, arguments)
    return session.response(session.send(command, arguments), command)
  end

  function session.event(name)
    return session.wait('the event ' .. name, function(message)
      return message.type == 'event' and message.event == name
    end).body or {}
  end

  return session
end

local function run()
  -- nvim-dap is a plugin of the user's; the test brings its own stand-in.
  check(not pcall(require, 'dap'), 'a dap module is already on the runtimepath; run with --clean')
  dofile(source .. '/editors/nvim/kvbasic.lua')
  check(package.loaded.dap == nil, 'without nvim-dap the configuration loaded a dap module')

  -- The stand-in: nvim-dap's tables, which the configuration fills.
  vim.fn.mkdir(scratch .. '/stand-in/lua', 'p')
  vim.fn.writefile({ 'return { adapters = {}, configurations = {} }' }, scratch .. '/stand-in/lua/dap.lua')
  vim.opt.runtimepath:append(scratch .. '/stand-in')

  -- A .bas file opened after nvim-dap turned up registers the debugger.
  local path = scratch .. '/steps.bas'
  vim.fn.writefile({ 'x = 1', 'x = x + 1', 'y = x * 3', 'x = y', 'END' }, path)
  vim.cmd('edit ' .. vim.fn.fnameescape(path))
  local dap = require('dap')
  local adapter = dap.adapters.kvbasic
  check(type(adapter) == 'table', 'no adapter kvbasic registered')
  check(adapter.type == 'executable', 'the adapter is of type ' .. tostring(adapter.type))
  check(adapter.command == 'kvbasic', 'the adapter runs ' .. tostring(adapter.command))
  check(vim.deep_equal(adapter.args, { 'dap' }), 'the adapter has arguments ' .. vim.inspect(adapter.args))
  local configurations = dap.configurations.kvbasic
  check(type(configurations) == 'table' and #configurations >= 1, 'no launch configuration for kvbasic')
  local configuration = vim.deepcopy(configurations[1])
  check(configuration.type == 'kvbasic' and configuration.request == 'launch', 'the configuration is not a kvbasic launch')
  check(configuration.program == '${file}', 'the configuration debugs ' .. tostring(configuration.program))

  -- What nvim-dap does when the session starts: fill in the variables,
  -- start the adapter, initialize, launch, and once the adapter says
  -- `initialized` set the breakpoints and end the configuration.
  local file, folder = vim.fn.expand('%:p'), vim.fn.expand('%:p:h')
  for key, value in pairs(configuration) do
    if type(value) == 'string' then
      configuration[key] = value:gsub('%${file}', file):gsub('%${fileDirname}', folder)
    end
  end
  local session = start_adapter(adapter)
  local capabilities = session.request('initialize', {
    clientID = 'neovim', clientName = 'Neovim', adapterID = 'kvbasic', pathFormat = 'path',
    linesStartAt1 = true, columnsStartAt1 = true, supportsVariableType = true,
  })
  local filters = {}
  for _, filter in ipairs(capabilities.exceptionBreakpointFilters or {}) do
    if filter.default then table.insert(filters, filter.filter) end
  end
  -- launch may be answered only after configurationDone.
  local launch = session.send('launch', configuration)
  session.event('initialized')
  local set = session.request('setBreakpoints', {
    source = { path = file, name = vim.fn.fnamemodify(file, ':t') },
    breakpoints = { { line = 3 } }, lines = { 3 },
  })
  check(#set.breakpoints == 1 and set.breakpoints[1].verified and set.breakpoints[1].line == 3,
    'the breakpoint on line 3 is ' .. vim.inspect(set.breakpoints))
  if capabilities.exceptionBreakpointFilters then
    session.request('setExceptionBreakpoints', { filters = filters })
  end
  session.request('configurationDone', vim.empty_dict())
  session.response(launch, 'launch')

  local function stopped_at(reason, line)
    local stopped = session.event('stopped')
    check(stopped.reason == reason, 'stopped for ' .. tostring(stopped.reason) .. ', not ' .. reason)
    local trace = session.request('stackTrace', { threadId = stopped.threadId })
    local top = trace.stackFrames[1]
    check(top.line == line and top.source.path == file,
      'stopped at ' .. tostring(top.source.path) .. ':' .. tostring(top.line) .. ', not line ' .. line)
    return stopped.threadId, top.id
  end
  local thread = stopped_at('breakpoint', 3)
  session.request('next', { threadId = thread })
  local _, frame = stopped_at('step', 4)

  -- y = x * 3 has run: the variables of the stopped line show y as 6.
  local seen = {}
  for _, scope in ipairs(session.request('scopes', { frameId = frame }).scopes) do
    for _, variable in ipairs(session.request('variables', { variablesReference = scope.variablesReference }).variables) do
      seen[variable.name] = variable.value
    end
  end
  check(seen.y == '6' and seen.x == '2', 'the variables are ' .. vim.inspect(seen))

  session.request('disconnect', { terminateDebuggee = true })
  wait_for('the adapter to end', function() return session.exited ~= nil end)
  check(session.exited == 0, 'the adapter ended with ' .. session.exited .. '; stderr: ' .. session.stderr)

  -- A kvbasic named by vim.g.kvbasic_command (as for the language server)
  -- is the adapter's program too.
  vim.g.kvbasic_command = { '/opt/kvbasic/bin/kvbasic', 'lsp' }
  package.loaded.dap = { adapters = {}, configurations = {} }
  check(dofile(source .. '/editors/nvim/kvbasic_dap.lua') == true, 'kvbasic_dap.lua did not register again')
  check(package.loaded.dap.adapters.kvbasic.command == '/opt/kvbasic/bin/kvbasic',
    'vim.g.kvbasic_command is not the adapter: ' .. tostring(package.loaded.dap.adapters.kvbasic.command))
end

local ok, problem = pcall(run)
if not ok then
  io.stderr:write('FAIL: ' .. tostring(problem) .. '\n')
  vim.cmd('cquit 1')
end
io.stdout:write('the Neovim debugger configuration passes\n')
vim.cmd('qall!')
