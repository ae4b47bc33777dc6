" Marvo IF scenarios: comments start with "*", lines are kept as typed.
if exists('b:did_ftplugin')
  finish
endif
let b:did_ftplugin = 1
setlocal commentstring=*%s comments=:*
setlocal fileencoding=cp1251
let b:undo_ftplugin = 'setlocal commentstring< comments< fileencoding<'
