# Builds the VS Code extension (editors/vscode) into a .vsix with @vscode/vsce, its packages
# installed by `npm ci` in WORK, and checks what the package holds. Skips (prints "SKIP: ") only
# when node, npm or unzip is not installed.
find_program(NODE node)
find_program(NPM npm)
find_program(UNZIP unzip)
if(NOT NODE OR NOT NPM OR NOT UNZIP)
  message("SKIP: node, npm or unzip is not installed (scripts/setup installs them)")
  return()
endif()
file(MAKE_DIRECTORY ${WORK})
file(GLOB_RECURSE files RELATIVE ${SOURCE}/editors/vscode ${SOURCE}/editors/vscode/*)
list(FILTER files EXCLUDE REGEX "^node_modules/|\\.vsix$")
foreach(f ${files} .vscodeignore)
  get_filename_component(dir ${WORK}/${f} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  file(COPY_FILE ${SOURCE}/editors/vscode/${f} ${WORK}/${f} ONLY_IF_DIFFERENT)
endforeach()
if(NOT EXISTS ${WORK}/node_modules/.package-lock.json OR ${WORK}/package-lock.json IS_NEWER_THAN
                                                         ${WORK}/node_modules/.package-lock.json)
  execute_process(COMMAND ${NPM} ci --no-audit --no-fund WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "npm ci failed (${status})")
  endif()
endif()
file(REMOVE ${WORK}/marvo-if.vsix)
execute_process(COMMAND ${NODE} node_modules/@vscode/vsce/vsce package --allow-missing-repository --skip-license
                        --out marvo-if.vsix
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS ${WORK}/marvo-if.vsix)
  message(FATAL_ERROR "vsce package failed (${status})")
endif()
execute_process(COMMAND ${UNZIP} -l marvo-if.vsix WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE listing)
foreach(expected extension/package.json extension/extension.js extension/language-configuration.json
                 extension/syntaxes/marvo.tmLanguage.json extension/node_modules/vscode-languageclient/package.json)
  string(FIND "${listing}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "marvo-if.vsix lacks ${expected}:\n${listing}")
  endif()
endforeach()
string(FIND "${listing}" "@vscode/vsce" dev)
if(NOT dev EQUAL -1)
  message(FATAL_ERROR "marvo-if.vsix holds the packaging tool itself")
endif()
# The grammar and the manifest are valid JSON, and the grammar's patterns compile.
execute_process(COMMAND ${NODE} -e "
const g = require('./syntaxes/marvo.tmLanguage.json'); require('./package.json'); require('./language-configuration.json');
const walk = (o) => { for (const [k, v] of Object.entries(o)) {
  if ((k === 'match' || k === 'begin' || k === 'end') && typeof v === 'string') new RegExp(v.replace(/^\\(\\?i\\)/, ''), 'u');
  else if (v && typeof v === 'object') walk(v); } };
walk(g);" WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the grammar or the manifest is broken")
endif()
message("built ${WORK}/marvo-if.vsix")
