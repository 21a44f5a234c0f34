# Run by CPack after it has packed (CPACK_POST_BUILD_SCRIPTS), before it
# writes the checksums: packs each archive again so that every build of a
# commit gives the same bytes. CPack sets the times, but leaves the order
# of the entries and their owners to the machine.
include("${CPACK_WATER_SOURCE_DIR}/cmake/Reproducible.cmake")
water_source_date_epoch("${CPACK_WATER_SOURCE_DIR}" epoch)

foreach(archive IN LISTS CPACK_PACKAGE_FILES)
  if(archive MATCHES "\\.zip$")
    # Sorts the entries and fixes their times (in UTC, so that the local
    # time zone cannot shift them), modes and extra fields.
    find_program(STRIP_NONDETERMINISM strip-nondeterminism REQUIRED)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
              "${STRIP_NONDETERMINISM}" --type zip --timestamp ${epoch}
              "${archive}"
      COMMAND_ERROR_IS_FATAL ANY)
  elseif(archive MATCHES "([^/]+)\\.tar\\.gz$")
    water_repack_tar("${archive}" "${CMAKE_MATCH_1}" "${archive}" ${epoch})
  else()
    message(FATAL_ERROR "no way to pack ${archive} reproducibly")
  endif()
endforeach()
