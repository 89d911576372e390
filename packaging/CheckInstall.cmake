# Installs the build into a scratch DESTDIR (prefix /usr, as the package does) and checks that the
# installed tree holds what the programs need and that the installed programs find it.
# cmake -DBUILD_DIR=... -DWORK_DIR=... -DVERSION=x.y.z -P CheckInstall.cmake
foreach(var BUILD_DIR WORK_DIR VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()

set(root ${WORK_DIR}/root)
set(home ${WORK_DIR}/home)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${root} ${home})

execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root} ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
endif()

set(usr ${root}/usr)
set(data ${usr}/share/tarveon-config)
set(failures "")
function(fail text)
  set(failures "${failures}  ${text}\n" PARENT_SCOPE)
endfunction()

# The tree.
foreach(program tarveon-config tarveon-cli tarveon-sim)
  if(NOT EXISTS ${usr}/bin/${program} OR IS_DIRECTORY ${usr}/bin/${program})
    fail("missing program bin/${program}")
  endif()
endforeach()
foreach(file tarveon-config.LNG RESOURCES.LNG TemplatesZDM/ZTR001-PACKAGED.ini TemplatesZDM/ZTR001-CHILLER.ini)
  if(NOT EXISTS ${data}/${file})
    fail("missing share/tarveon-config/${file}")
  endif()
endforeach()
if(NOT IS_DIRECTORY ${data}/DocsZDM)
  fail("missing share/tarveon-config/DocsZDM/")
endif()
# The manual in both languages with its pictures: every file of the source folder is installed.
file(GLOB_RECURSE manual_files RELATIVE ${CMAKE_CURRENT_LIST_DIR}/../resources/DocsZDM
     ${CMAKE_CURRENT_LIST_DIR}/../resources/DocsZDM/*)
foreach(file index.html index.es.html ${manual_files})
  if(NOT EXISTS ${data}/DocsZDM/${file})
    fail("missing the manual's share/tarveon-config/DocsZDM/${file}")
  endif()
endforeach()
file(GLOB stray_lng ${usr}/bin/*.LNG ${usr}/bin/*.ini)
if(stray_lng)
  fail("data files installed beside the programs: ${stray_lng}")
endif()

# The language file is shipped as it is in the source tree.
file(SHA256 ${data}/tarveon-config.LNG installed_sum)
file(SHA256 ${CMAKE_CURRENT_LIST_DIR}/../resources/RESOURCES.LNG source_sum)
if(NOT installed_sum STREQUAL source_sum)
  fail("installed language file differs from resources/RESOURCES.LNG")
endif()

# The desktop entry starts an installed program and names an installed icon.
set(desktop ${usr}/share/applications/tarveon-config.desktop)
if(NOT EXISTS ${desktop})
  fail("missing share/applications/tarveon-config.desktop")
else()
  file(STRINGS ${desktop} exec_line REGEX "^Exec=")
  file(STRINGS ${desktop} icon_line REGEX "^Icon=")
  string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec_program "${exec_line}")
  string(REGEX REPLACE "^Icon=" "" icon_name "${icon_line}")
  if(NOT exec_program OR NOT EXISTS ${usr}/bin/${exec_program})
    fail("desktop entry runs '${exec_program}', which is not installed")
  endif()
  foreach(size 16 32 48 128 256)
    set(png ${usr}/share/icons/hicolor/${size}x${size}/apps/${icon_name}.png)
    if(NOT EXISTS ${png})
      fail("missing icon ${size}x${size}/apps/${icon_name}.png")
    else()
      # PNG signature, then the IHDR width as a big-endian 32-bit number.
      file(READ ${png} head LIMIT 24 HEX)
      string(SUBSTRING "${head}" 0 16 signature)
      string(SUBSTRING "${head}" 32 8 width_hex)
      math(EXPR width "0x${width_hex}")
      if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size)
        fail("icon ${size}x${size} is not a ${size}-pixel PNG")
      endif()
    endif()
  endforeach()
endif()

# The installed programs: their version, and where the tool reads and writes. The user's data
# directory is a scratch one; the system data directories are hidden so that an installed
# package cannot stand in for the tree under test.
set(run_env ${CMAKE_COMMAND} -E env HOME=${home} XDG_DATA_HOME=${home}/.local/share
            XDG_DATA_DIRS=${WORK_DIR}/no-system-data QT_QPA_PLATFORM=offscreen)
foreach(program tarveon-config tarveon-cli tarveon-sim)
  if(EXISTS ${usr}/bin/${program})
    execute_process(COMMAND ${run_env} ${usr}/bin/${program} --version
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    string(FIND "${out}" "${program} ${VERSION}\n" at)
    if(NOT rc EQUAL 0 OR NOT at EQUAL 0)
      fail("${program} --version gave (${rc}) '${out}' ${err}")
    endif()
  endif()
endforeach()

if(EXISTS ${usr}/bin/tarveon-config)
  execute_process(COMMAND ${run_env} ${usr}/bin/tarveon-config --paths
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(user_dir ${home}/.local/share/tarveon-config)
  foreach(expected
      "settings: ${user_dir}/tarveon-config.ini"
      "language: ${data}/tarveon-config.LNG"
      "templates: ${data}/TemplatesZDM"
      "projects: ${user_dir}/ProjectsZDM"
      "docs: ${data}/DocsZDM")
    string(FIND "${out}" "${expected}\n" at)
    if(NOT rc EQUAL 0 OR at EQUAL -1)
      fail("tarveon-config --paths lacks '${expected}':\n${out}${err}")
    endif()
  endforeach()
  if(EXISTS ${user_dir})
    fail("tarveon-config --paths made ${user_dir}: it must create nothing")
  endif()
endif()

# The installed command line reads the tool's language file from the data directory: its
# messages are texts of the language file, without a notice about a file named after itself.
# A project made of the template's settings alone has no signal in use: validate refuses it with
# the language file's text, as generate would.
if(EXISTS ${usr}/bin/tarveon-cli AND EXISTS ${data}/TemplatesZDM/ZTR001-PACKAGED.ini)
  set(project ${WORK_DIR}/project/Office)
  file(MAKE_DIRECTORY ${project})
  file(COPY ${data}/TemplatesZDM/ZTR001-PACKAGED.ini DESTINATION ${project})
  file(WRITE ${project}/Project.ini "[Project]\r\nProt=ZTR001-PACKAGED\r\nDesc=Install check\r\n")
  execute_process(COMMAND ${run_env} ${usr}/bin/tarveon-cli validate ${project}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(FIND "${err}" "File not found. " notice)
  string(FIND "${err}" "No text found for Key" missing_text)
  string(FIND "${err}" "No signal in use has a group address" nothing_to_generate)
  if(NOT rc EQUAL 1 OR NOT notice EQUAL -1 OR NOT missing_text EQUAL -1 OR nothing_to_generate EQUAL -1)
    fail("installed tarveon-cli validate of a project from the installed template gave (${rc}):\n${out}${err}")
  endif()
endif()

if(failures)
  message(FATAL_ERROR "install tree check failed:\n${failures}")
endif()
message(STATUS "install tree complete: ${root}")
