# Run by CPack on the staged files before it builds the .deb: what Debian asks of a package
# that a plain `cmake --install` does not do. The man pages are compressed, and the package
# carries its changelog (and the licence, once the sources have one) in /usr/share/doc/zarn.
set(_usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
if(NOT IS_DIRECTORY ${_usr}/bin)
    message(FATAL_ERROR "no staged files in ${_usr}")
endif()

find_program(_gzip gzip REQUIRED)
file(GLOB _pages ${_usr}/share/man/man1/*.1)
foreach(_page IN LISTS _pages)
    # -n: no name or time stamp inside, so the same sources give the same package.
    execute_process(COMMAND ${_gzip} -9nf ${_page} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(_doc ${_usr}/share/doc/${CPACK_PACKAGE_NAME})
file(MAKE_DIRECTORY ${_doc})
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(_epoch $ENV{SOURCE_DATE_EPOCH})
else()
    string(TIMESTAMP _epoch "%s" UTC)
endif()
execute_process(COMMAND date -u -R -d @${_epoch} OUTPUT_VARIABLE _date
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(WRITE ${_doc}/changelog
     "${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
     "  * Version ${CPACK_PACKAGE_VERSION}, packaged from the zarn sources.\n\n"
     " -- ${CPACK_PACKAGE_CONTACT}  ${_date}\n")
execute_process(COMMAND ${_gzip} -9nf ${_doc}/changelog COMMAND_ERROR_IS_FATAL ANY)
foreach(_licence LICENSE COPYING)
    if(EXISTS ${CPACK_ZARN_SOURCE_DIR}/${_licence})
        configure_file(${CPACK_ZARN_SOURCE_DIR}/${_licence} ${_doc}/copyright COPYONLY)
        break()
    endif()
endforeach()
