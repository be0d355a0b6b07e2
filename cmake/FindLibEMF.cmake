# Finds libEMF, the library that writes enhanced metafiles, and defines the
# imported target LibEMF::LibEMF. Its header emf.h sits in a libEMF folder of
# its own, whose wine/ subfolder the header includes from.
find_path(LibEMF_INCLUDE_DIR emf.h PATH_SUFFIXES libEMF)
find_library(LibEMF_LIBRARY NAMES EMF)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(LibEMF REQUIRED_VARS LibEMF_LIBRARY LibEMF_INCLUDE_DIR)

if(LibEMF_FOUND AND NOT TARGET LibEMF::LibEMF)
  add_library(LibEMF::LibEMF UNKNOWN IMPORTED)
  set_target_properties(LibEMF::LibEMF PROPERTIES
    IMPORTED_LOCATION "${LibEMF_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${LibEMF_INCLUDE_DIR}")
endif()
mark_as_advanced(LibEMF_INCLUDE_DIR LibEMF_LIBRARY)
