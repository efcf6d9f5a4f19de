# The Debian package of kestra-table (make deb): the program and its manual
# page, with the shared libraries it links found by dpkg-shlibdeps and the
# default label font added by hand, since no library names it.
find_program(KESTRA_GZIP gzip REQUIRED)
add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/kestra-table.1.gz
    COMMAND ${KESTRA_GZIP} -9 -n -c ${CMAKE_CURRENT_SOURCE_DIR}/kestra-table.1
            > ${CMAKE_CURRENT_BINARY_DIR}/kestra-table.1.gz
    DEPENDS kestra-table.1
    COMMENT "Compressing the manual page of kestra-table")
add_custom_target(kestra_table_manual ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/kestra-table.1.gz)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestra-table)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kestra developers <kestra@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reference tables of EUDC fonts as PDF")
set(CPACK_PACKAGE_DESCRIPTION
    "kestra-table writes the reference table of a Windows EUDC font file (.TTE) as a PDF: every user-defined Big5 code with its glyph, its code and, on request, its Phonetic and Cangjie radicals; or the same codes as tab-separated text.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
