# The Windows Installer package, built by wixl from installer/ktconfig.wxs
# with the files that the release archive holds (cmake/release.cmake):
# `cmake --build <build> --target msi_package` makes
# release/ktconfig-<version>.msi, or ktconfig-<version>-win64.msi for a
# 64-bit build, which installs into the 64-bit Program Files.

# Ties every version of the package together for upgrades: never change it.
set(KT_UPGRADE_CODE 779BC5D7-F334-4232-85D2-13A8DED2E4ED)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KT_MSI_ARCH x64)
    set(KT_MSI_PROGRAM_FILES ProgramFiles64Folder)
    set(KT_MSI_WIN64 yes)
    set(KT_MSI_SUFFIX -win64)
else()
    set(KT_MSI_ARCH x86)
    set(KT_MSI_PROGRAM_FILES ProgramFilesFolder)
    set(KT_MSI_WIN64 no)
    set(KT_MSI_SUFFIX "")
endif()
find_program(KT_WIXL wixl)
set(KT_MAKE_MSI ${CMAKE_BINARY_DIR}/installer/make_msi.cmake)
configure_file(installer/make_msi.cmake.in ${KT_MAKE_MSI} @ONLY)
add_custom_target(msi_package COMMAND ${CMAKE_COMMAND} -P ${KT_MAKE_MSI} VERBATIM)
add_dependencies(msi_package ktconfig ktsample)
