# The component contract, checked from outside: the complete component
# compiles, and leaving out any one operation fails with a message that
# names it.
# Usage: cmake -DCXX=... -DFRAME=<frame folder> -DSOURCE=component_under_test.cpp -P expect_contract_errors.cmake
set(omissions
  "DISPLAY_NAME|kDisplayName"
  "INPUT_COUNT|InputCount()"
  "OUTPUT_COUNT|OutputCount()"
  "INPUT_NAMES|kInputNames"
  "OUTPUT_NAMES|kOutputNames"
  "DEFAULT_CONSTRUCTOR|default constructor"
  "INPUT_LABELS|InputLabels()"
  "OUTPUT_LABELS|OutputLabels()"
  "EVALUATE_INITIAL|EvaluateInitial("
  "EVALUATE|void Evaluate("
  "COMPONENT|using Component"
  "KEEPS_HOST_WINDOW|kKeepsHostWindow"
  "REFILLS_PIN_INFO_AFTER_DIALOG|kRefillsPinInfoAfterDialog"
  "SETTINGS|kSettings[]"
  "DIALOG|kDialog")

function(compile result output)
  execute_process(COMMAND ${CXX} -std=c++17 -fsyntax-only -I${FRAME} ${ARGN} ${SOURCE}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${result} ${status} PARENT_SCOPE)
  set(${output} "${out}${err}" PARENT_SCOPE)
endfunction()

compile(status output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the complete component does not compile:\n${output}")
endif()

set(failures 0)
foreach(omission ${omissions})
  string(REPLACE "|" ";" parts "${omission}")
  list(GET parts 0 operation)
  list(GET parts 1 named)
  compile(status output -DOMIT_${operation})
  string(REGEX REPLACE "([][()*.+?^$\\])" "\\\\\\1" pattern "${named}")
  string(REGEX MATCH "lacks: [^\"\n]*${pattern}" said "${output}")
  if(status EQUAL 0)
    message("without ${operation}: it still compiles")
    math(EXPR failures "${failures} + 1")
  elseif(NOT said)
    message("without ${operation}: the message does not say what is lacking (\"${named}\"):\n${output}")
    math(EXPR failures "${failures} + 1")
  else()
    message("without ${operation}: refused, naming ${named}")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures} omissions not named")
endif()
