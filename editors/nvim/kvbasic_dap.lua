-- The debugger for KV BASIC in Neovim through the nvim-dap plugin (which
-- you install yourself): the adapter `kvbasic dap` and a launch
-- configuration that debugs the .bas file of the current buffer.
--
-- kvbasic.lua sources this file, and again when the first .bas file is
-- opened, so nvim-dap may be loaded after kvbasic.lua. Without nvim-dap it
-- does nothing. The kvbasic program is the first word of
-- vim.g.kvbasic_command (as for the language server), else kvbasic on PATH.
--
-- Returns true once the adapter is registered with nvim-dap.

local ok, dap = pcall(require, 'dap')
if not ok or type(dap) ~= 'table' or type(dap.adapters) ~= 'table' then return false end

local function kvbasic_program()
  local command = vim.g.kvbasic_command
  if type(command) == 'table' and type(command[1]) == 'string' then return command[1] end
  if type(command) == 'string' and command ~= '' then return command end
  return 'kvbasic'
end

dap.adapters.kvbasic = {
  type = 'executable',
  command = kvbasic_program(),
  args = { 'dap' },
}

-- nvim-dap fills in ${file} when the session starts. The program runs in
-- the folder of its .bas file, where it finds its media.
dap.configurations = dap.configurations or {}
dap.configurations.kvbasic = dap.configurations.kvbasic or {
  {
    type = 'kvbasic',
    request = 'launch',
    name = 'Debug this file',
    program = '${file}',
    args = {},
    stopOnEntry = false,
  },
  {
    type = 'kvbasic',
    request = 'launch',
    name = 'Debug this file, stop at its first line',
    program = '${file}',
    args = {},
    stopOnEntry = true,
  },
}

return true
