# What makes two builds of one commit give the same archive bytes, for the
# scripts that pack them: one time for every entry, taken from the last
# commit, and a tar that depends on nothing but the files' names and bytes.

# Stops with a message where SOURCE_DATE_EPOCH is set but is not a whole
# number of seconds: an archive stamped with a time nobody meant is worse
# than none.
function(water_check_source_date_epoch)
  if(DEFINED ENV{SOURCE_DATE_EPOCH} AND
     NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"$ENV{SOURCE_DATE_EPOCH}\", "
      "not a whole number of seconds since 1970; set it to one, or unset it "
      "to take the last commit's time")
  endif()
endfunction()

# Where `source_dir` is a git checkout, `result` names git; else it is
# false, as in an unpacked source archive.
function(water_git_checkout source_dir result)
  find_program(GIT git)
  if(GIT AND EXISTS "${source_dir}/.git")
    set(${result} "${GIT}" PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

# The time every entry carries: SOURCE_DATE_EPOCH where someone has set it,
# else the last commit's time: from git in a checkout, or, in an unpacked
# source archive, from cmake/commit-time.txt, where git archive wrote it.
# The files' own times are no guide: unpacking tools often reset them.
function(water_source_date_epoch source_dir result)
  water_check_source_date_epoch()
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(${result} $ENV{SOURCE_DATE_EPOCH} PARENT_SCOPE)
    return()
  endif()
  water_git_checkout("${source_dir}" git)
  if(git)
    execute_process(COMMAND "${git}" -C "${source_dir}" log -1 --format=%ct
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE status)
    if(status EQUAL 0 AND epoch MATCHES "^[0-9]+$")
      set(${result} ${epoch} PARENT_SCOPE)
      return()
    endif()
  endif()
  file(STRINGS "${source_dir}/cmake/commit-time.txt" epoch LIMIT_COUNT 1)
  if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No commit time for the archives: this is neither a "
      "git checkout nor an unpacked source archive. Set SOURCE_DATE_EPOCH to "
      "the commit's time in seconds since 1970.")
  endif()
  set(${result} ${epoch} PARENT_SCOPE)
endfunction()

# Stops where a git checkout differs from its commit, naming the files: its
# archives would carry the commit's time and not its contents. An unpacked
# source archive has no commit to compare with and passes.
function(water_check_tree_is_commit source_dir)
  water_git_checkout("${source_dir}" git)
  if(NOT git)
    return()
  endif()
  execute_process(COMMAND "${git}" -C "${source_dir}" status --porcelain
    OUTPUT_VARIABLE changes RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "git status failed in ${source_dir}")
  endif()
  if(NOT changes STREQUAL "")
    message(FATAL_ERROR "The tree differs from its commit, so no archive is "
      "packed; commit or undo these changes first:\n${changes}")
  endif()
endfunction()

# Unpacks the archive `input` and packs its folder `top` again as the
# gzipped tar `output`, which may be `input` itself: entries in name order,
# owner and group 0 by number, 0755 for folders and programs and 0644 for
# the rest whatever the umask or a setgid folder, every time `epoch`, and
# gzip without a name or a time.
function(water_repack_tar input top output epoch)
  find_program(TAR NAMES gtar tar REQUIRED)
  find_program(GZIP gzip REQUIRED)
  set(unpacked "${output}.unpacked")
  file(REMOVE_RECURSE "${unpacked}")
  file(MAKE_DIRECTORY "${unpacked}")
  file(ARCHIVE_EXTRACT INPUT "${input}" DESTINATION "${unpacked}")
  execute_process(
    COMMAND "${TAR}" --create --file=- --format=gnu --sort=name
            --owner=0 --group=0 --numeric-owner --mode=u=rwX,go=rX,a-st
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
