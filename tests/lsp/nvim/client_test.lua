-- Drives `marvo-cli lsp` through Neovim's built-in LSP client, headless, with the editor package
-- of editors/vim (filetype detection with the encoding, the LSP setup): diagnostics, definition,
-- references, completion and rename on a Windows-1251 scenario, and the file written back.
-- Environment: MARVO_CLI (the program), MARVO_WORK (a folder holding game.scn).
local cli, work = os.getenv('MARVO_CLI'), os.getenv('MARVO_WORK')
local failures = {}
local function check(ok, what)
  if not ok then table.insert(failures, what) end
  return ok
end

local function main()
  vim.cmd('filetype plugin on')
  vim.cmd('syntax on')
  require('marvo_lsp').setup({ cmd = { cli, 'lsp', '--diagnostics-delay', '20' } })
  vim.cmd('edit ' .. work .. '/game.scn')
  check(vim.bo.filetype == 'marvo', 'filetype marvo, got ' .. vim.bo.filetype)
  check(vim.bo.fileencoding == 'cp1251', 'read as cp1251, got ' .. vim.bo.fileencoding)
  check(vim.api.nvim_buf_get_lines(0, 0, 1, false)[1] == 'CREATE сундук', 'Cyrillic text decoded')
  -- The syntax file: a label, a keyword, a variable in a text line, a property.
  local function group(line, col) return vim.fn.synIDattr(vim.fn.synID(line, col, 1), 'name') end
  check(group(3, 1) == 'marvoLabel', 'label highlighted: ' .. group(3, 1))
  check(group(6, 1) == 'marvoKeyword', 'GOTO highlighted: ' .. group(6, 1))
  check(group(4, 34) == 'marvoVariable', '#золото highlighted: ' .. group(4, 34))
  check(group(2, 14) == 'marvoProperty', 'property highlighted: ' .. group(2, 14))

  local function codeOf(d) return d.code or (d.user_data and d.user_data.lsp and d.user_data.lsp.code) end
  local function missing()
    for _, d in ipairs(vim.diagnostic.get(0)) do
      if codeOf(d) == 'missing-label' then return d end
    end
  end
  check(vim.wait(10000, function() return missing() ~= nil end, 20), 'diagnostics published')
  local d = missing()
  if d then check(d.lnum == 6, 'missing label on line 7, got ' .. d.lnum) end

  local uri = vim.uri_from_bufnr(0)
  local function request(method, line, character, extra)
    local params = vim.tbl_extend('force', extra or {},
      { textDocument = { uri = uri }, position = { line = line, character = character } })
    local answers = vim.lsp.buf_request_sync(0, method, params, 5000) or {}
    for _, a in pairs(answers) do return a.result, a.err end
  end
  -- GOTO сарай: the label is line 9; the column counts UTF-16 units after "GOTO ".
  local def = request('textDocument/definition', 5, 7)
  if check(def ~= nil, 'definition') then
    local loc = def[1] or def
    check(loc.range.start.line == 8 and loc.range.start.character == 1, 'definition at :сарай')
  end
  local refs = request('textDocument/references', 4, 2, { context = { includeDeclaration = true } }) or {}
  local lines = {}
  for _, r in ipairs(refs) do lines[r.range.start.line] = r.range.start.character end
  check(lines[3] == 20 and lines[4] == 0 and lines[9] ~= nil, 'references of золото: ' .. vim.inspect(lines))
  local completion = request('textDocument/completion', 5, 6) or {}
  local found = false
  for _, item in ipairs(completion.items or completion) do found = found or item.label == 'сарай' end
  check(found, 'completion offers сарай after GOTO с')

  -- Rename through the client: the edits land on the right characters of the UTF-8 buffer.
  vim.api.nvim_win_set_cursor(0, { 9, 2 })
  vim.lsp.buf.rename('амбар')
  check(vim.wait(5000, function() return vim.api.nvim_buf_get_lines(0, 8, 9, false)[1] == ':амбар' end, 20),
    'label renamed')
  local text = vim.api.nvim_buf_get_lines(0, 0, -1, false)
  check(text[6] == 'GOTO амбар', 'jump renamed: ' .. tostring(text[6]))

  -- An edit adds the missing label: the diagnostic goes after the pause.
  vim.api.nvim_buf_set_lines(0, -1, -1, false, { ':погреб', 'READ' })
  check(vim.wait(10000, function() return missing() == nil end, 20), 'diagnostic gone after the edit')

  -- Written back as Windows-1251.
  vim.cmd('write')
  local file = io.open(work .. '/game.scn', 'rb')
  local bytes = file:read('*a')
  file:close()
  check(bytes:find('GOTO \224\236\225\224\240', 1, true) ~= nil, 'file written in Windows-1251')
end

local ok, err = pcall(main)
if not ok then table.insert(failures, 'error: ' .. tostring(err)) end
for _, id in pairs(vim.lsp.get_active_clients()) do vim.lsp.stop_client(id.id) end
if #failures > 0 then
  io.stderr:write('FAIL: ' .. table.concat(failures, '\nFAIL: ') .. '\n')
  vim.cmd('cquit 1')
else
  io.stdout:write('PASS: Neovim client\n')
  vim.cmd('qall!')
end
