# The Debian package of kestra-table (make deb): the program, its manual page,
# its copyright file and its changelog, with the shared libraries it links
# found by dpkg-shlibdeps and the default label font added by hand, since no
# library names it. The reference fonts of --match are recommended: the tool
# does without them, and a user may name others.
find_program(KESTRA_GZIP gzip REQUIRED)
set(KESTRA_DEB_CHANGELOG ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog)
foreach(page kestra-table.1 debian/changelog)
    get_filename_component(name ${page} NAME)
    add_custom_command(
        OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz
        COMMAND ${KESTRA_GZIP} -9 -n -c ${CMAKE_CURRENT_SOURCE_DIR}/${page}
                > ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz
        DEPENDS ${page}
        COMMENT "Compressing ${page}")
endforeach()
add_custom_target(kestra_table_manual ALL
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/kestra-table.1.gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)

# A new version needs its changelog entry, which names it first.
file(STRINGS ${KESTRA_DEB_CHANGELOG} latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^kestra-table \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "table/debian/changelog has no entry for version ${PROJECT_VERSION}")
endif()
install(FILES debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kestra-table)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestra-table)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kestra developers <kestra@kestra-project.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reference tables of EUDC fonts as PDF")
# Lines of at most 80 characters, as Debian's control files want them.
set(CPACK_PACKAGE_DESCRIPTION
    "kestra-table writes the reference table of a Windows EUDC font file (.TTE)
as a PDF: every user-defined Big5 code with its glyph, its code and, on
request, its Phonetic and Cangjie radicals; or the same codes as tab-separated
text. With --match it suggests for each glyph the standard Unicode character
of the same shape, found in reference fonts.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-cns11643-sung, fonts-hanazono, fonts-babelstone-han")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
