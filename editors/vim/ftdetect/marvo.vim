" Marvo IF scenarios (*.scn) and the library (marvo.lib): Windows-1251 text, filetype "marvo".
" A scenario saved as RTF by the desktop program starts with "{\rtf"; save it as
" "plain text scenary" there to edit it here.
augroup marvo_filetype
  autocmd!
  " Read as Windows-1251 whatever 'fileencodings' says, and written back the same way.
  autocmd BufReadPre *.scn,marvo.lib let s:marvo_fencs = &fileencodings | set fileencodings=cp1251
  autocmd BufReadPost *.scn,marvo.lib
        \ if exists('s:marvo_fencs') | let &fileencodings = s:marvo_fencs | unlet s:marvo_fencs | endif |
        \ setfiletype marvo
  autocmd BufNewFile *.scn,marvo.lib setlocal fileencoding=cp1251 | setfiletype marvo
augroup END
