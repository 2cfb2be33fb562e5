# Checks of the help file, run by python3 on the build machine: the HTML sources
# and the compiled Vemiro.chm (built by the vemiro_help target, part of ALL).
if(NOT VEMIRO_HELP_FILE)
    if(CMAKE_HOST_WIN32)
        return()  # no help compiler there: help/CMakeLists.txt warned already
    endif()
    message(FATAL_ERROR "help.cmake: help/CMakeLists.txt did not define VEMIRO_HELP_FILE")
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(help_check ${CMAKE_CURRENT_LIST_DIR}/help_check.py)
add_test(NAME help_file
         COMMAND ${Python3_EXECUTABLE} ${help_check}
                 --source ${CMAKE_SOURCE_DIR}/help --chm ${VEMIRO_HELP_FILE})
add_test(NAME help_check_catches_faults
         COMMAND ${Python3_EXECUTABLE} ${help_check} --self-test
                 --source ${CMAKE_SOURCE_DIR}/help --chm ${VEMIRO_HELP_FILE})
set_tests_properties(help_file help_check_catches_faults PROPERTIES TIMEOUT 120)
