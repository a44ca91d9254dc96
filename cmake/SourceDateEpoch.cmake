# The time the release's files carry: SOURCE_DATE_EPOCH when it is set,
# else the time of the commit checked out in `source_dir`, else the first
# time a zip entry can hold.
function(korvelant_source_date_epoch source_dir result)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
  else()
    execute_process(COMMAND git -C ${source_dir} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
    if(failed OR NOT epoch MATCHES "^[0-9]+$")
      set(epoch 315532800)  # 1980-01-01
    endif()
  endif()
  set(${result} ${epoch} PARENT_SCOPE)
endfunction()
