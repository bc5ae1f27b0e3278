-- Neovim (0.7 or later) support for the KV BASIC dialect: .bas files get
-- the filetype kvbasic, highlighting (syntax/kvbasic.vim beside this file)
-- and the language server `kvbasic lsp` through Neovim's built-in client:
-- errors as you type, completion (CTRL-X CTRL-O), hover help (K), the
-- argument list (CTRL-K in insert mode), go to definition (gd) and the
-- outline (gO).
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

-- One server per folder of programs.
local clients = {}

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
  local root = vim.fn.fnamemodify(name ~= '' and name or vim.fn.getcwd(), ':p:h')
  local id = clients[root]
  if id == nil or vim.lsp.get_client_by_id(id) == nil then
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

vim.api.nvim_create_autocmd('FileType', {
  group = group,
  pattern = 'kvbasic',
  callback = function(event) start(event.buf) end,
})

-- Buffers already open when this file is sourced.
for _, buffer in ipairs(vim.api.nvim_list_bufs()) do
  if vim.api.nvim_buf_get_name(buffer):match('%.bas$') and vim.api.nvim_buf_is_loaded(buffer) then
    vim.bo[buffer].filetype = 'kvbasic'
  end
end
