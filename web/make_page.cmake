# cmake -DSHELL=shell.html -DTITLE=title.txt -DMODULE=brinmoor.wasm -DSCRIPTS=a.js;b.js
#       -DOUT=Brinmoor.html -P make_page.cmake
# Writes the page: the shell with its title, the module's bytes in base64 and the scripts one
# after another.
file(READ ${SHELL} page)
file(READ ${TITLE} title)
execute_process(COMMAND base64 --wrap=0 ${MODULE} OUTPUT_VARIABLE module
    COMMAND_ERROR_IS_FATAL ANY)
set(script "")
foreach(file IN LISTS SCRIPTS)
    file(READ ${file} text)
    string(APPEND script "${text}")
endforeach()
foreach(placeholder TITLE MODULE SCRIPT)
    string(FIND "${page}" "{{{ ${placeholder} }}}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${SHELL} has no place for the ${placeholder}")
    endif()
endforeach()
string(REPLACE "{{{ TITLE }}}" "${title}" page "${page}")
string(REPLACE "{{{ MODULE }}}" "${module}" page "${page}")
string(REPLACE "{{{ SCRIPT }}}" "${script}" page "${page}")
file(WRITE ${OUT} "${page}")
