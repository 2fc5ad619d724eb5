# Run by `cmake --install` (install(CODE) in desktop/CMakeLists.txt): writes
# the launcher and the D-Bus service file into MESLEK_INSTALLED_DIR for the
# prefix of this very install, which `--prefix` may have changed since the
# tree was configured. Both name programs by absolute paths: GNOME Shell drops
# a launcher whose Exec= is not found (and with it the search provider), and
# the bus starts only an absolute Exec=. DESTDIR only stages the files, so it
# has no part in the paths inside them.
#
# Expects MESLEK_DESKTOP_SOURCE_DIR, MESLEK_INSTALLED_DIR, MESLEK_APP_ID,
# MESLEK_SEARCH_BUS_NAME and the configured MESLEK_BINDIR, MESLEK_LIBEXECDIR and
# MESLEK_DATADIR (relative to the prefix, or absolute when given so).

# A path of the install: the configured folder under the prefix (a folder
# given as an absolute path stays itself, as it does for install()). A
# relative prefix is taken from the working folder, as install() takes it.
function(meslek_installed_path folder name out)
    cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX OUTPUT_VARIABLE prefix)
    cmake_path(APPEND prefix "${folder}" "${name}" OUTPUT_VARIABLE path)
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

# The reserved characters of an Exec= argument, in a launcher as on the bus.
set(meslek_reserved [=[[ "'\\<>~|&;$*?#()`]]=])

# A program as the launcher's Exec= names it: in double quotes when it holds
# a reserved character, with " ` $ \ escaped inside them; then every
# backslash doubled once more, as in any string value of a desktop file.
function(meslek_launcher_exec path out)
    if(path MATCHES "${meslek_reserved}")
        string(REGEX REPLACE [=[(["`$\\])]=] [[\\\1]] path "${path}")
        set(path "\"${path}\"")
    endif()
    string(REPLACE [[\]] [[\\]] path "${path}")
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

# A program as the bus's Exec= names it: the bus splits the line by the
# shell's quoting rules, so in single quotes when it holds a reserved
# character, each single quote inside written as '"'"'; then every backslash
# doubled, since the bus reads the file as a desktop file and a lone
# backslash starts an escape there (\' even makes it drop the file).
function(meslek_bus_exec path out)
    if(path MATCHES "${meslek_reserved}")
        string(REPLACE "'" [['"'"']] path "${path}")
        set(path "'${path}'")
    endif()
    string(REPLACE [[\]] [[\\]] path "${path}")
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

meslek_installed_path("${MESLEK_BINDIR}" meslekana program)
meslek_installed_path("${MESLEK_DATADIR}" meslekana program_dir)
meslek_installed_path("${MESLEK_LIBEXECDIR}" meslekana/meslek-arama-servisi service)
# Neither file can hold a line break or a tab in a path, and GLib (GNOME
# Shell) looks for a launcher's program before it reads %% as %.
foreach(path IN ITEMS "${program}" "${program_dir}" "${service}")
    if(path MATCHES "[\n\r\t%]")
        message(FATAL_ERROR "\"${path}\" holds a line break, a tab or a %; the launcher and "
            "the D-Bus service file cannot name a path like that.")
    endif()
endforeach()

# The launcher starts meslekana in share/meslekana/, where the bundled
# database and the help text lie.
meslek_launcher_exec("${program}" MESLEK_PROGRAM_EXEC)
string(REPLACE [[\]] [[\\]] MESLEK_PROGRAM_DIR "${program_dir}")
configure_file("${MESLEK_DESKTOP_SOURCE_DIR}/meslekana.desktop.in"
    "${MESLEK_INSTALLED_DIR}/${MESLEK_APP_ID}.desktop" @ONLY)

meslek_bus_exec("${service}" MESLEK_SEARCH_SERVICE)
configure_file("${MESLEK_DESKTOP_SOURCE_DIR}/search-service.service.in"
    "${MESLEK_INSTALLED_DIR}/${MESLEK_SEARCH_BUS_NAME}.service" @ONLY)
