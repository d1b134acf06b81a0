# Builds HP48.TTF (family "HP48") from DejaVu Sans Mono, with its licence beside it.
#
#   ombrel_add_hp48_font(<target> <output-dir>)
#
# Cache variables that can be set on the command line:
#   OMBREL_FONTTOOLS_PYTHON  Python interpreter that imports fontTools
#   OMBREL_DEJAVU_SANS_MONO  the source font
#   OMBREL_DEJAVU_LICENCE    licence text copied to HP48-LICENSE.txt

include_guard(GLOBAL)

set(_OMBREL_HP48_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/../resources/font/make-hp48-font.py")
set(_OMBREL_HP48_CHARSET "${CMAKE_CURRENT_LIST_DIR}/../resources/hp48-charset.tsv")
get_filename_component(_OMBREL_HP48_SCRIPT "${_OMBREL_HP48_SCRIPT}" ABSOLUTE)
get_filename_component(_OMBREL_HP48_CHARSET "${_OMBREL_HP48_CHARSET}" ABSOLUTE)

set(OMBREL_DEJAVU_SANS_MONO "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"
    CACHE FILEPATH "DejaVu Sans Mono, the source of HP48.TTF")
set(OMBREL_DEJAVU_LICENCE "/usr/share/doc/fonts-dejavu-core/copyright"
    CACHE FILEPATH "DejaVu licence copied to HP48-LICENSE.txt")

# Sets <out_var> to the absolute path of <candidate> when it imports fontTools, else to "".
function(_ombrel_python_imports_fonttools candidate out_var)
  execute_process(
    COMMAND "${candidate}" -c "import sys, fontTools; print(sys.executable)"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE executable
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)
  if(result EQUAL 0 AND executable)
    set(${out_var} "${executable}" PARENT_SCOPE)
  else()
    set(${out_var} "" PARENT_SCOPE)
  endif()
endfunction()

# The first python3 on PATH is not always the system one that Debian's
# python3-fonttools installs into (pyenv, virtual environments), so each
# candidate is asked to import the module.
function(_ombrel_find_fonttools_python)
  set(candidates "")
  if(OMBREL_FONTTOOLS_PYTHON)
    list(APPEND candidates "${OMBREL_FONTTOOLS_PYTHON}")
  endif()
  list(APPEND candidates /usr/bin/python3 python3)

  find_program(_OMBREL_PYTHON3_PROGRAM
    NAMES python3 python3.13 python3.12 python3.11 python3.10 python3.9 python
    PATHS /usr/local/bin /usr/bin /bin)
  if(_OMBREL_PYTHON3_PROGRAM)
    list(APPEND candidates "${_OMBREL_PYTHON3_PROGRAM}")
  endif()
  unset(_OMBREL_PYTHON3_PROGRAM CACHE)

  foreach(candidate IN LISTS candidates)
    _ombrel_python_imports_fonttools("${candidate}" python)
    if(python)
      set(OMBREL_FONTTOOLS_PYTHON "${python}" CACHE FILEPATH
          "Python interpreter that imports fontTools" FORCE)
      return()
    endif()
  endforeach()

  list(REMOVE_DUPLICATES candidates)
  list(JOIN candidates ", " tried)
  message(FATAL_ERROR
    "No Python interpreter that can import fontTools was found (tried: ${tried}).\n"
    "Install the Debian package python3-fonttools (apt-get install python3-fonttools), "
    "or set OMBREL_FONTTOOLS_PYTHON to an interpreter that has fontTools.")
endfunction()

function(ombrel_add_hp48_font target_name output_dir)
  _ombrel_find_fonttools_python()
  get_filename_component(output_dir "${output_dir}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")

  if(NOT EXISTS "${OMBREL_DEJAVU_SANS_MONO}")
    message(FATAL_ERROR
      "DejaVu Sans Mono was not found at ${OMBREL_DEJAVU_SANS_MONO}.\n"
      "Install the Debian package fonts-dejavu-core (apt-get install fonts-dejavu-core), "
      "or set OMBREL_DEJAVU_SANS_MONO to the font file.")
  endif()

  set(font "${output_dir}/HP48.TTF")
  set(licence "${output_dir}/HP48-LICENSE.txt")
  set(depends "${_OMBREL_HP48_SCRIPT}" "${_OMBREL_HP48_CHARSET}" "${OMBREL_DEJAVU_SANS_MONO}")

  # Images that leave out /usr/share/doc still get the licence: the script
  # then takes it from the font's own name records.
  set(licence_args "")
  if(EXISTS "${OMBREL_DEJAVU_LICENCE}")
    set(licence_args --licence-source "${OMBREL_DEJAVU_LICENCE}")
    list(APPEND depends "${OMBREL_DEJAVU_LICENCE}")
  else()
    message(STATUS "HP48 font: ${OMBREL_DEJAVU_LICENCE} not found; "
                   "the licence is taken from the font itself")
  endif()

  add_custom_command(
    OUTPUT "${font}" "${licence}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${output_dir}"
    COMMAND "${OMBREL_FONTTOOLS_PYTHON}" "${_OMBREL_HP48_SCRIPT}"
            --charset "${_OMBREL_HP48_CHARSET}"
            --source "${OMBREL_DEJAVU_SANS_MONO}"
            --out "${font}"
            --licence-out "${licence}"
            ${licence_args}
    DEPENDS ${depends}
    COMMENT "Generating HP48.TTF from DejaVu Sans Mono"
    VERBATIM)
  add_custom_target(${target_name} ALL DEPENDS "${font}" "${licence}")
endfunction()
