-- Neovim 0.7's built-in LSP client drives orthspell lsp, headless:
--   nvim --headless -u NONE -i NONE -n -c 'luafile lsp_nvim_test.lua'
-- with ORTHSPELL, ORTH_DICT and ORTH_WORK in the environment. A line with
-- accented, CJK and astral characters before the misspelling checks that
-- the ranges and the edits land on the word (Neovim 0.7 echoes byte columns
-- in the diagnostics it sends back). Exit status 0 when every check passes.
local failed = false

local function check(cond, msg)
  if not cond then failed = true end
  io.stdout:write((cond and 'ok   ' or 'FAIL ') .. msg .. '\n')
end

local function word_at(buf, d)  -- the text a diagnostic covers (byte columns)
  local line = vim.api.nvim_buf_get_lines(buf, d.lnum, d.lnum + 1, false)[1]
  return line:sub(d.col + 1, d.end_col)
end

local function words(buf)
  local out = {}
  for _, d in ipairs(vim.diagnostic.get(buf)) do out[#out + 1] = word_at(buf, d) end
  table.sort(out)
  return table.concat(out, ',')
end

local function pick_code_action(lnum, bytecol, title)
  vim.api.nvim_win_set_cursor(0, { lnum + 1, bytecol })
  local chosen = nil
  local offered = {}
  vim.ui.select = function(items, _, on_choice)  -- the menu, answered
    for _, item in ipairs(items) do
      offered[#offered + 1] = item[2].title
      if item[2].title == title then chosen = item; return on_choice(item) end
    end
    on_choice(nil)
  end
  vim.lsp.buf.code_action()
  vim.wait(30000, function() return chosen ~= nil end, 10)
  if chosen == nil then io.stdout:write('     offered: ' .. table.concat(offered, ' | ') .. '\n') end
  return chosen ~= nil
end

local function main()
  local work = vim.env.ORTH_WORK
  local personal = work .. '/personal.lex'
  vim.fn.writefile({ 'Café 中文 😀 wrold', 'the cat sat helo', 'Zorblax' }, work .. '/sample.txt')
  vim.cmd('edit ' .. vim.fn.fnameescape(work .. '/sample.txt'))
  local buf = vim.api.nvim_get_current_buf()
  local id = vim.lsp.start_client({
    name = 'orthspell',
    cmd = { vim.env.ORTHSPELL, 'lsp', '-d', vim.env.ORTH_DICT, '-p', personal },
    root_dir = work,
  })
  check(id ~= nil, 'client started')
  check(vim.lsp.buf_attach_client(buf, id), 'buffer attached')
  check(vim.wait(30000, function() return #vim.diagnostic.get(buf) == 3 end, 20),
    '3 diagnostics published')
  check(words(buf) == 'Zorblax,helo,wrold', 'ranges cover the words: ' .. words(buf))
  local d = vim.diagnostic.get(buf)[1]
  check(d.source == 'orthspell' and d.severity == vim.diagnostic.severity.INFO,
    'source and severity')

  local col = vim.api.nvim_buf_get_lines(buf, 0, 1, false)[1]:find('wrold') - 1
  check(pick_code_action(0, col, 'Replace with «world»'), 'suggestion offered')
  check(vim.wait(30000, function()
    return vim.api.nvim_buf_get_lines(buf, 0, 1, false)[1] == 'Café 中文 😀 world'
  end, 10), 'suggestion applied: ' .. vim.api.nvim_buf_get_lines(buf, 0, 1, false)[1])
  check(vim.wait(30000, function() return words(buf) == 'Zorblax,helo' end, 20),
    'diagnostics after the edit: ' .. words(buf))

  check(pick_code_action(2, 0, 'Add «Zorblax» to the personal word list'), 'add offered')
  check(vim.wait(30000, function() return words(buf) == 'helo' end, 20),
    'added word no longer reported: ' .. words(buf))
  local saved = table.concat(vim.fn.readfile(personal), '\n')
  check(saved:lower():find('zorblax') ~= nil, 'personal list written')

  vim.lsp.stop_client(id)
  check(vim.wait(30000, function() return vim.lsp.get_client_by_id(id) == nil end, 20),
    'client stopped')
end

local ok, err = pcall(main)
if not ok then io.stdout:write('FAIL error: ' .. tostring(err) .. '\n'); failed = true end
vim.cmd(failed and 'cquit!' or 'qall!')
