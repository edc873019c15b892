# Fails when a file of a layer under src/ includes a header of a layer above it: dependencies
# point downward only. Run on every build (the target layer_check), so an upward include fails
# the build it first appears in. Run as: cmake -DSOURCE_DIR=... -P check_layers.cmake

cmake_minimum_required(VERSION 3.25)
# The layers each layer may include, itself first.
set(allowed_text text)
set(allowed_course course text)
set(allowed_calibration calibration course text)
set(allowed_analysis analysis calibration course text)
set(allowed_session session analysis calibration course text)
set(allowed_tracking tracking calibration course text)
set(allowed_video video tracking calibration course text)
set(allowed_measure measure session tracking analysis calibration course text)
set(allowed_dossier dossier analysis calibration course text)
set(allowed_platform platform video tracking session analysis calibration course text)
set(allowed_screens screens platform measure session video tracking dossier analysis calibration
    course text)
set(allowed_app app screens platform measure session video tracking dossier analysis calibration
    course text)
set(layers text course calibration analysis session tracking video measure dossier platform
    screens app)

set(violations "")
foreach(layer IN LISTS layers)
    file(GLOB_RECURSE files "${SOURCE_DIR}/src/${layer}/*.h" "${SOURCE_DIR}/src/${layer}/*.cpp")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/.*" "\\1" target "${line}")
            if(target IN_LIST layers AND NOT target IN_LIST allowed_${layer})
                file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
                string(APPEND violations "\n  ${shown}: ${layer} includes ${target} (${line})")
            endif()
        endforeach()
    endforeach()
endforeach()
if(violations)
    message(FATAL_ERROR "A layer includes a layer above it; dependencies point downward only:"
                        "${violations}")
endif()
