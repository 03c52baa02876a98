# Builds each layer probe (PROBES: "target|header|missing" items, separated by commas) in
# BUILD_DIR. A probe named
# allowed_* must build; a probe named forbidden_* must fail, and for want of the header
# `missing` (a failure for any other reason proves nothing). Probes build one after another.
string(REPLACE "," ";" probes "${PROBES}")
foreach(probe IN LISTS probes)
    string(REPLACE "|" ";" fields "${probe}")
    list(GET fields 0 target)
    list(GET fields 1 header)
    list(GET fields 2 missing)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(target MATCHES "^allowed_")
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "${target}: including ${header} should compile:\n${output}")
        endif()
        message(STATUS "${target}: ${header} compiles")
    elseif(status EQUAL 0)
        message(FATAL_ERROR "${target}: including ${header} compiled; the layer is open")
    else()
        # GCC: "header: No such file or directory"; clang: "'header' file not found".
        string(REPLACE "." "\\." pattern "${missing}")
        if(NOT output MATCHES "(${pattern}: No such file or directory|'${pattern}' file not found)")
            message(FATAL_ERROR "${target}: failed, but not for want of ${missing}:\n${output}")
        endif()
        message(STATUS "${target}: ${header} refused (${missing} not found)")
    endif()
endforeach()
