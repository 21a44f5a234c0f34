# Read by CPack before it installs and packs. A tree that differs from its
# commit packs nothing. Every tool CPack runs takes its times from
# SOURCE_DATE_EPOCH, the last commit's time unless someone has set it:
# CPack for the entries, and strip, which would otherwise write the current
# time into a Windows program's header.
include("${CPACK_WATER_SOURCE_DIR}/cmake/Reproducible.cmake")
water_check_tree_is_commit("${CPACK_WATER_SOURCE_DIR}")
water_source_date_epoch("${CPACK_WATER_SOURCE_DIR}" epoch)
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
