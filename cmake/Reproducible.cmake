# What makes two builds of one commit give the same archive bytes, for the
# scripts that pack them: one time for every entry, taken from the last
# commit, and a tar that depends on nothing but the files' names and bytes.

# The time every entry carries: SOURCE_DATE_EPOCH where someone has set it,
# else the last commit's time, else (in an unpacked source archive, whose
# files carry that commit's time) the time of CMakeLists.txt.
function(water_source_date_epoch source_dir result)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(${result} $ENV{SOURCE_DATE_EPOCH} PARENT_SCOPE)
    return()
  endif()
  find_program(GIT git)
  if(GIT AND EXISTS "${source_dir}/.git")
    execute_process(COMMAND "${GIT}" -C "${source_dir}" log -1 --format=%ct
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE status)
    if(status EQUAL 0 AND epoch MATCHES "^[0-9]+$")
      set(${result} ${epoch} PARENT_SCOPE)
      return()
    endif()
  endif()
  file(TIMESTAMP "${source_dir}/CMakeLists.txt" epoch "%s" UTC)
  set(${result} ${epoch} PARENT_SCOPE)
endfunction()

# Unpacks the archive `input` and packs its folder `top` again as the
# gzipped tar `output`, which may be `input` itself: entries in name order,
# owner and group 0 by number, 0755 for folders and programs and 0644 for
# the rest whatever the umask, every time `epoch`, and gzip without a name
# or a time.
function(water_repack_tar input top output epoch)
  find_program(TAR NAMES gtar tar REQUIRED)
  find_program(GZIP gzip REQUIRED)
  set(unpacked "${output}.unpacked")
  file(REMOVE_RECURSE "${unpacked}")
  file(MAKE_DIRECTORY "${unpacked}")
  file(ARCHIVE_EXTRACT INPUT "${input}" DESTINATION "${unpacked}")
  execute_process(
    COMMAND "${TAR}" --create --file=- --format=gnu --sort=name
            --owner=0 --group=0 --numeric-owner --mode=u=rwX,go=rX
            --mtime=@${epoch} "${top}"
    COMMAND "${GZIP}" -9 --no-name
    WORKING_DIRECTORY "${unpacked}"
    OUTPUT_FILE "${output}"
    RESULTS_VARIABLE statuses)
  file(REMOVE_RECURSE "${unpacked}")
  if(NOT statuses STREQUAL "0;0")
    message(FATAL_ERROR "packing ${output} failed: ${statuses}")
  endif()
endfunction()
