# SPDX-License-Identifier: GPL-2.0-or-later
# A folder's logging category: "varlume.<folder>", declared as <folder>::lc in
# "<folder>/logging.h". Both files are written into the build tree from one
# template, so a category is one line of its folder's CMakeLists and no two
# folders' pairs can drift apart.
set(VARLUME_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(VARLUME_LOGGING_TEMPLATES ${CMAKE_CURRENT_LIST_DIR})

# Gives <target> the category of the folder whose CMakeLists calls it.
function(varlume_logging_category target)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(out ${VARLUME_GENERATED_DIR}/${folder})
    configure_file(${VARLUME_LOGGING_TEMPLATES}/logging.h.in ${out}/logging.h @ONLY)
    configure_file(${VARLUME_LOGGING_TEMPLATES}/logging.cpp.in ${out}/logging.cpp @ONLY)
    target_sources(${target} PRIVATE ${out}/logging.h ${out}/logging.cpp)
endfunction()
