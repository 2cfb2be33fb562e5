# The Windows release: scripts/release.sh run twice and compared, then its
# installer and zip tried in a Wine prefix of the check's own. It builds in
# release-check/ and removes that folder when it ends.
if(NOT CMAKE_HOST_UNIX)
    return()  # the check drives Wine, Xvfb and xdotool
endif()
add_test(NAME release_packages
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/release_check.sh
                 ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/release-check)
# 77: the packages were built and compared, but this machine cannot run them.
set_tests_properties(release_packages PROPERTIES TIMEOUT 900 SKIP_RETURN_CODE 77)
