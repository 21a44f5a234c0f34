# Packs exactly the files git tracks at the current commit of SOURCE_DIR as
# OUTPUT, under the folder TOP, the same way every time, with its SHA-256
# beside it in OUTPUT.sha256, in the form `sha256sum -c` reads. Outside a
# git checkout (an unpacked source archive, say) there is nothing to do.
cmake_minimum_required(VERSION 3.25)
include("${SOURCE_DIR}/cmake/Reproducible.cmake")
water_git_checkout("${SOURCE_DIR}" git)
if(NOT git)
  message(STATUS "Not a git checkout: no source archive")
  return()
endif()
water_source_date_epoch("${SOURCE_DIR}" epoch)

set(tracked "${OUTPUT}.tracked.tar")
execute_process(
  COMMAND "${git}" -C "${SOURCE_DIR}" archive --format=tar
          "--prefix=${TOP}/" --output "${tracked}" HEAD
  COMMAND_ERROR_IS_FATAL ANY)
water_repack_tar("${tracked}" "${TOP}" "${OUTPUT}" ${epoch})
file(REMOVE "${tracked}")

get_filename_component(name "${OUTPUT}" NAME)

file(SHA256 "${OUTPUT}" hash)
file(WRITE "${OUTPUT}.sha256" "${hash}  ${name}\n")
message(STATUS "Source archive: ${OUTPUT}")
