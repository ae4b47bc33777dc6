-- Neovim's built-in LSP client for Marvo IF scenarios: starts `marvo-cli lsp` once per folder
-- and attaches it to every buffer of filetype "marvo" (see ftdetect/marvo.vim). Works from
-- Neovim 0.7 on. In init.lua:
--   vim.opt.runtimepath:append('/usr/share/marvo/editors/vim')
--   require('marvo_lsp').setup()            -- or setup({ cmd = { '/path/to/marvo-cli', 'lsp' } })
local M = {}

local clients = {} -- folder -> client id

function M.setup(options)
  options = options or {}
  local cmd = options.cmd or { 'marvo-cli', 'lsp' }
  vim.api.nvim_create_autocmd('FileType', {
    pattern = 'marvo',
    callback = function(args)
      local name = vim.api.nvim_buf_get_name(args.buf)
      local root = name ~= '' and vim.fn.fnamemodify(name, ':p:h') or vim.fn.getcwd()
      local id = clients[root]
      if not id or not vim.lsp.get_client_by_id(id) then
        id = vim.lsp.start_client({
          name = 'marvo',
          cmd = cmd,
          root_dir = root,
          offset_encoding = 'utf-16',
          init_options = options.init_options,
          on_attach = options.on_attach,
        })
        clients[root] = id
      end
      if id then vim.lsp.buf_attach_client(args.buf, id) end
    end,
  })
end

return M
