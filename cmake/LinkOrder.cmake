# Links a program with its shared libraries listed in the order that makes the dynamic loader's
# symbol lookups short (see link_order.py). The program is first linked as usual, under the name
# <program>-natural, to learn which libraries it loads and which symbols each provides.
function(fdk_link_in_lookup_order program)
    # A sanitizer's runtime has to stay first; other systems' loaders look symbols up differently.
    if(FDK_SANITIZE OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR NOT Python3_Interpreter_FOUND)
        return()
    endif()
    set(natural ${program}-natural)
    set(order ${CMAKE_CURRENT_BINARY_DIR}/link-order/${program}.rsp)
    set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/link_order.py)
    add_executable(${natural})
    target_link_libraries(${natural} PRIVATE ${ARGN})
    set_target_properties(${natural} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/link-order)
    add_custom_command(OUTPUT ${order}
        COMMAND Python3::Interpreter ${script} order $<TARGET_FILE:${natural}> ${order}
        DEPENDS ${natural} ${script}
        COMMENT "Ordering the shared libraries of ${program}"
        VERBATIM)
    add_custom_target(${program}-link-order DEPENDS ${order})
    add_dependencies(${program} ${program}-link-order)
    target_link_options(${program} PRIVATE "@${order}")
    set_property(TARGET ${program} APPEND PROPERTY LINK_DEPENDS ${order})
endfunction()
