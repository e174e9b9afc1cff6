# The desktop app's resources and its installation, included from ui/CMakeLists.txt once the
# velmoran-gui target exists.
#
# - myfont.ttf, the Quarnel symbol font, is built by tools/make-font next to the executable, so a
#   freshly built app finds it in its own folder; velmoran-gui depends on it.
# - `cmake --install` puts both programs in bin/, the font in share/velmoran/, and the icon and
#   desktop entry where desktop environments look for them. The app is told the installed data
#   folder (VELMORAN_DATA_DIR) as the second place to look for the font.
# - The font is required, so a machine without fontforge's Python module fails at configure
#   time, not halfway through a build.

include(GNUInstallDirs)

# Debian's own interpreter: the one that sees python3-fontforge, whatever python3 comes first on
# the PATH.
set(VELMORAN_FONT_PYTHON /usr/bin/python3)
set(VELMORAN_FONT_SOURCE /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf)
set(VELMORAN_MAKE_FONT ${PROJECT_SOURCE_DIR}/tools/make-font)

execute_process(COMMAND ${VELMORAN_FONT_PYTHON} -c "import fontforge"
                RESULT_VARIABLE velmoran_fontforge_status OUTPUT_QUIET ERROR_QUIET)
if(NOT velmoran_fontforge_status EQUAL 0)
  message(FATAL_ERROR
    "${VELMORAN_FONT_PYTHON} cannot import fontforge, which builds the app's symbol font "
    "myfont.ttf. Run tools/install-deps (it installs fontforge, python3-fontforge and "
    "fonts-dejavu-core), then configure again.")
endif()
if(NOT EXISTS ${VELMORAN_FONT_SOURCE})
  message(FATAL_ERROR
    "${VELMORAN_FONT_SOURCE} is missing; the symbol font is built from it. Run tools/install-deps "
    "(package fonts-dejavu-core), then configure again.")
endif()

set(VELMORAN_FONT ${CMAKE_CURRENT_BINARY_DIR}/myfont.ttf)
add_custom_command(
  OUTPUT ${VELMORAN_FONT}
  COMMAND ${VELMORAN_FONT_PYTHON} ${VELMORAN_MAKE_FONT} ${VELMORAN_FONT} ${VELMORAN_FONT_SOURCE}
  DEPENDS ${VELMORAN_MAKE_FONT} ${VELMORAN_FONT_SOURCE}
  COMMENT "Building the Quarnel symbol font myfont.ttf"
  VERBATIM)
add_custom_target(velmoran-font ALL DEPENDS ${VELMORAN_FONT})
add_dependencies(velmoran-gui velmoran-font)

target_compile_definitions(velmoran-gui PRIVATE
  VELMORAN_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/velmoran")

install(TARGETS velmoran velmoran-gui RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VELMORAN_FONT} DESTINATION ${CMAKE_INSTALL_DATADIR}/velmoran)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/velmoran.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/velmoran.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
