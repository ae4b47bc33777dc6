" Vim syntax file for Marvo IF scenarios and marvo.lib (filetype "marvo").
" Lines as the engine reads them: "*" comments, ":" labels, "!" text, "@" menu lines (a leading
" "^" makes a line one-shot), keywords in any letter case, object properties after "_".
if exists('b:current_syntax')
  finish
endif
syntax case ignore

syntax match marvoKeyword /\v<(talk|парс|redo|вверх|if|если|endif|конец|goto|gotos|идти|jump|jumps|read|ждать|return|btn|btns|do|call|ret|create|examine|изучить|showitem|vip|pushloc|poploc|pushindex|popindex|cls|clear|kill|pause|inv|инв|drop|бросить|take|взять|time|rnd|step|location|empo\w*)>/
syntax match marvoProperty /\v_(расположение|описание|маска|синоним|дескриптор|непереносимый|недоступен|надет|открываемый|открыт|невидимый|содержание|количество|вес|размер)>/
syntax match marvoObjectWord /<object>/
syntax match marvoNumber /\v<\d+>/
syntax match marvoButton /\[[^\]]*\]/ contained containedin=marvoButtonLine
syntax match marvoButtonLine /\v\c^\s*btn.*/ contains=marvoKeyword,marvoButton
syntax match marvoVariable /#[^ _\[\]]\+/ contained
syntax match marvoText /\v^\s*\^?\s*!.*/ contains=marvoVariable
syntax match marvoMenu /\v^\s*\^?\s*\@.*/ contains=marvoVariable
syntax match marvoLabel /^:.*/
syntax match marvoComment /\v^\s*\*.*/

highlight default link marvoComment Comment
highlight default link marvoLabel Label
highlight default link marvoText String
highlight default link marvoMenu Special
highlight default link marvoKeyword Keyword
highlight default link marvoProperty Identifier
highlight default link marvoObjectWord Type
highlight default link marvoVariable Identifier
highlight default link marvoButton String
highlight default link marvoNumber Number

let b:current_syntax = 'marvo'
