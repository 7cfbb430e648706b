# The Win32 program for Windows users, as a zip and as a per-user installer:
#
#   cpack --config <build-win>/CPackConfig.cmake -G ZIP    qorgenerator.exe,
#       LICENSE.txt and README.txt in one folder
#   cpack --config <build-win>/CPackConfig.cmake -G NSIS   the same files
#       installed under %LOCALAPPDATA%\Programs, with a Start-menu entry,
#       Explorer's "Open with" on folders, and an uninstaller
#
# The program is linked statically and imports only Windows' own DLLs, so the
# three files are all a Windows machine needs. Included from the top level,
# after src/, once the program's target exists.
if(NOT TARGET qorgenerator)
    return()
endif()

install(TARGETS qorgenerator RUNTIME DESTINATION .)
# With an extension Windows opens them on a double click.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/README.txt DESTINATION .)

set(CPACK_PACKAGE_NAME qorgenerator)
set(CPACK_PACKAGE_VENDOR "The qorgenerator developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Writes a mission's description.ext")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY qorgenerator)
# One key for every version, so a newer installer takes the older one's place.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY qorgenerator)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP NSIS)

set(CPACK_NSIS_DISPLAY_NAME "${PROJECT_DESCRIPTION}")
set(CPACK_NSIS_PACKAGE_NAME "${PROJECT_DESCRIPTION}")
set(CPACK_NSIS_MUI_ICON ${CMAKE_BINARY_DIR}/packaging/windows/qorgenerator.ico)
# NSIS.template.in in this folder: a per-user install (see there).
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})

include(CPack)
