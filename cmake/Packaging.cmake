# What each platform's archive holds, and the archives themselves.
include(GNUInstallDirs)
if(EMSCRIPTEN)
  # The page beside the manual and the README, for a browser to open, and
  # the licences of what emscripten compiled into it (its runtime, musl,
  # LLVM's libc++): emscripten's own, or Debian's record of them all.
  find_file(WATER_CALCULATOR_EMSCRIPTEN_LICENSE NAMES LICENSE copyright
    PATHS ${EMSCRIPTEN_ROOT_PATH} /usr/share/doc/emscripten
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  install(FILES ${web_files} ${manual_html} README.md DESTINATION .)
  install(FILES ${WATER_CALCULATOR_EMSCRIPTEN_LICENSE} DESTINATION .
    RENAME EMSCRIPTEN-LICENSES.txt)
elseif(WIN32)
  # Unpacked on Windows, the program sits beside its README and its manual,
  # with no tree, each with the CR LF line ends that Windows tools expect.
  # The README is README.txt there: Windows opens nothing for .md.
  set(windows_texts "")
  foreach(text IN ITEMS ${PROJECT_SOURCE_DIR}/README.md ${manual_html})
    get_filename_component(name ${text} NAME)
    string(REGEX REPLACE "^README\\.md$" "README.txt" name ${name})
    set(windows_text ${PROJECT_BINARY_DIR}/crlf/${name})
    add_custom_command(OUTPUT ${windows_text}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${text} -DOUTPUT=${windows_text}
              -P ${PROJECT_SOURCE_DIR}/cmake/CrlfCopy.cmake
      DEPENDS ${text} ${PROJECT_SOURCE_DIR}/cmake/CrlfCopy.cmake
      VERBATIM)
    list(APPEND windows_texts ${windows_text})
  endforeach()
  add_custom_target(windows_texts ALL DEPENDS ${windows_texts})
  if(TARGET manual_html)
    add_dependencies(windows_texts manual_html)
  endif()
  install(TARGETS water_calculator RUNTIME DESTINATION .)
  install(FILES ${windows_texts} DESTINATION .)
else()
  install(TARGETS water_calculator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${manual_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES README.md ${manual_html} DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# Release archives: `cpack` in a Release build tree, a .zip for Windows and
# the web and a .tar.gz elsewhere, named with the version, the system and
# the processor, each with its SHA-256 beside it. CPack packs them, then
# cmake/RepackArchive.cmake packs them again, the same way on every build.
include(${CMAKE_CURRENT_LIST_DIR}/TargetProcessor.cmake)
string(TOLOWER "${CMAKE_SYSTEM_NAME}" system)
water_target_processor(processor)
set(CPACK_SYSTEM_NAME ${system}-${processor})
if(EMSCRIPTEN)
  set(CPACK_SYSTEM_NAME web)  # one page for every browser
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CPackProjectConfig.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/RepackArchive.cmake)
set(CPACK_WATER_SOURCE_DIR ${PROJECT_SOURCE_DIR})
if(WIN32 OR EMSCRIPTEN)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ)
endif()
include(CPack)

# The source archive: exactly what git tracks at this commit.
set(source_archive_top ${PROJECT_NAME}-${PROJECT_VERSION})
add_custom_target(source_archive
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
          -DTOP=${source_archive_top}
          -DOUTPUT=${PROJECT_BINARY_DIR}/${source_archive_top}.tar.gz
          -P ${CMAKE_CURRENT_LIST_DIR}/SourceArchive.cmake
  COMMENT "Packing the source archive"
  VERBATIM)
