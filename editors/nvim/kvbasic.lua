-- Neovim (0.7 or later) support for the KV BASIC dialect: .bas files get
-- the filetype kvbasic, highlighting (syntax/kvbasic.vim beside this file)
-- and the language server `kvbasic lsp` through Neovim's built-in client:
-- errors as you type, completion (CTRL-X CTRL-O), hover help (K), the
-- argument list (CTRL-K in insert mode), go to definition (gd) and the
-- outline (gO). With the nvim-dap plugin installed, kvbasic_dap.lua beside
-- this file adds the debugger `kvbasic dap` (see there).
--
-- Source it from init.lua:
--     dofile('/usr/share/kvbasic/editors/nvim/kvbasic.lua')
-- or from init.vim:
--     luafile /usr/share/kvbasic/editors/nvim/kvbasic.lua
-- Set vim.g.kvbasic_command = { '/path/to/kvbasic', 'lsp' } before that for
-- a kvbasic that is not on PATH.

local here = debug.getinfo(1, 'S').source:sub(2):match('(.*)/') or '.'
vim.opt.runtimepath:append(here)

local group = vim.api.nvim_create_augroup('kvbasic', { clear = true })

vim.api.nvim_create_autocmd({ 'BufRead', 'BufNewFile' }, {
  group = group,
  pattern = '*.bas',
  callback = function() vim.bo.filetype = 'kvbasic' end,
})

-- One server per project: a library (lib/arcade.bas) is served by the
-- server of the program that INCLUDEs it, so that its unsaved text reaches
-- the program's errors. A project's folder is that of its main program:
-- the program found beside a library or up to two folders above it whose
-- INCLUDE names it, else the file's own folder; a file inside the folder of
-- a running server joins that one.
local clients = {} -- client ids by project folder

local function is_program_file(path)
  return vim.fn.getftype(path) == 'file' and vim.fn.getfsize(path) <= 4 * 1024 * 1024
end

-- Whether the .bas file at `from` INCLUDEs the file at `target` (both absolute).
local function includes(from, target)
  local folder = vim.fn.fnamemodify(from, ':h')
  for _, line in ipairs(vim.fn.readfile(from)) do
    local name = line:match('^%s*[Ii][Nn][Cc][Ll][Uu][Dd][Ee]%s*"([^"]+)"')
    if name ~= nil then
      local path = name:sub(1, 1) == '/' and name or folder .. '/' .. name
      if vim.fn.simplify(path) == target then return true end
    end
  end
  return false
end

-- The program beside `path` or up to two folders above that INCLUDEs it.
local function includer_of(path, seen)
  local folder = vim.fn.fnamemodify(path, ':h')
  for _ = 0, 2 do
    for _, candidate in ipairs(vim.fn.glob(folder .. '/*.bas', false, true)) do
      candidate = vim.fn.simplify(candidate)
      if not seen[candidate] and is_program_file(candidate) and includes(candidate, path) then return candidate end
    end
    local parent = vim.fn.fnamemodify(folder, ':h')
    if parent == folder then break end
    folder = parent
  end
  return nil
end

local function project_of(path)
  local seen = { [path] = true }
  local program = path
  for _ = 1, 4 do -- a library of a library leads to its program
    local includer = includer_of(program, seen)
    if includer == nil then break end
    seen[includer] = true
    program = includer
  end
  return vim.fn.fnamemodify(program, ':h')
end

local function within(folder, path)
  return path == folder or path:sub(1, #folder + 1) == folder .. '/'
end

local function on_attach(_, buffer)
  local function map(mode, keys, action)
    vim.api.nvim_buf_set_keymap(buffer, mode, keys, '', { noremap = true, silent = true, callback = action })
  end
  vim.bo[buffer].omnifunc = 'v:lua.vim.lsp.omnifunc'
  map('n', 'K', vim.lsp.buf.hover)
  map('n', 'gd', vim.lsp.buf.definition)
  map('n', 'gO', vim.lsp.buf.document_symbol)
  map('i', '<C-k>', vim.lsp.buf.signature_help)
end

local function start(buffer)
  local name = vim.api.nvim_buf_get_name(buffer)
  local path = vim.fn.simplify(vim.fn.fnamemodify(name ~= '' and name or vim.fn.getcwd() .. '/untitled.bas', ':p'))
  local root, id
  for folder, running in pairs(clients) do
    if vim.lsp.get_client_by_id(running) == nil then
      clients[folder] = nil
    elseif within(folder, path) and (root == nil or #folder < #root) then
      root, id = folder, running
    end
  end
  if id == nil then
    root = project_of(path)
    id = vim.lsp.start_client({
      name = 'kvbasic',
      cmd = vim.g.kvbasic_command or { 'kvbasic', 'lsp' },
      root_dir = root,
      on_attach = on_attach,
      flags = { debounce_text_changes = 50 },
    })
    clients[root] = id
  end
  if id ~= nil then vim.lsp.buf_attach_client(buffer, id) end
end

-- The debugger, when nvim-dap is there; a plugin manager that loads
-- nvim-dap after this file gets it at the first .bas file.
local debugger_registered = false
local function register_debugger()
  if not debugger_registered then debugger_registered = dofile(here .. '/kvbasic_dap.lua') end
end
register_debugger()

vim.api.nvim_create_autocmd('FileType', {
  group = group,
  pattern = 'kvbasic',
  callback = function(event)
    register_debugger()
    start(event.buf)
  end,
})

-- Buffers already open when this file is sourced.
for _, buffer in ipairs(vim.api.nvim_list_bufs()) do
  if vim.api.nvim_buf_get_name(buffer):match('%.bas$') and vim.api.nvim_buf_is_loaded(buffer) then
    vim.bo[buffer].filetype = 'kvbasic'
  end
end
