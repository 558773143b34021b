# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Read by cpack before it makes the package (CPACK_PROJECT_CONFIG_FILE): the
# Debian packages of the shared libraries the three programs link, found by
# dpkg-shlibdeps, ahead of the dependencies named by hand. CPack's own search
# asks `file` about every installed file, one process each, and the stroke
# data's ten thousand files would make that ten minutes.
#
# Expects TOVREL_PROGRAMS, the programs' paths in the build tree, and
# TOVREL_SHLIBDEPS_DIR, a scratch folder there.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(_dir "${TOVREL_SHLIBDEPS_DIR}")
file(REMOVE_RECURSE "${_dir}")
file(MAKE_DIRECTORY "${_dir}/debian" "${_dir}/DEBIAN")
file(WRITE "${_dir}/debian/control" "")
execute_process(COMMAND dpkg-shlibdeps --ignore-missing-info -O ${TOVREL_PROGRAMS}
                WORKING_DIRECTORY "${_dir}"
                OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _rc
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT _rc EQUAL 0 OR NOT _out MATCHES "shlibs:Depends=")
  message(FATAL_ERROR "dpkg-shlibdeps ${TOVREL_PROGRAMS} failed: ${_err}")
endif()
string(REGEX REPLACE "^.*shlibs:Depends=" "" _auto "${_out}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${_auto}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
file(REMOVE_RECURSE "${_dir}")
