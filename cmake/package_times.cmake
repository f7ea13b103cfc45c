# Run by CPack inside its own process, after it has staged the files and before it writes the
# zip. CMake's archive writer then gives every entry this one time instead of the files' own
# (modification, access and change times alike), so the zip's bytes depend on the files'
# contents alone. The ZIP generator's documentation does not promise this; scripts/test
# checks it by building the zip twice. A builder's own SOURCE_DATE_EPOCH wins.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} 1767225600)  # 2026-01-01 00:00:00 UTC
endif()
# The zip's DOS time fields are local time: the same local time on every build machine.
set(ENV{TZ} UTC)
