# Pixels of a 24-bit BMP a test program saved, checked from a CMake script:
# pixel data from the offset at byte 10, rows bottom-up, each padded to four
# bytes, pixels blue-green-red.

# A little-endian number of `length` bytes at `offset`.
function(kv_bmp_number picture offset length variable)
  file(READ "${picture}" hex OFFSET ${offset} LIMIT ${length} HEX)
  set(value 0)
  foreach(i RANGE 1 ${length})
    math(EXPR start "2 * (${i} - 1)")
    string(SUBSTRING "${hex}" ${start} 2 byte)
    math(EXPR value "${value} + (0x${byte} << (8 * (${i} - 1)))")
  endforeach()
  set(${variable} ${value} PARENT_SCOPE)
endfunction()

# Fails unless every probe "x;y;bbggrr" (x, y from the top-left, the colour
# as the file keeps it: blue, green, red) holds; `why` ends the message.
# Sets bmp_width and bmp_height for the caller.
function(kv_expect_bmp_pixels picture why)
  if(NOT EXISTS "${picture}")
    message(FATAL_ERROR "no ${picture}: ${why}")
  endif()
  kv_bmp_number("${picture}" 10 4 data)
  kv_bmp_number("${picture}" 18 4 width)
  kv_bmp_number("${picture}" 22 4 height)
  kv_bmp_number("${picture}" 28 2 bits)
  if(NOT bits EQUAL 24)
    message(FATAL_ERROR "${picture} has ${bits} bits a pixel, not 24")
  endif()
  math(EXPR row_bytes "((${width} * 3 + 3) / 4) * 4")
  foreach(probe ${ARGN})
    string(REPLACE ":" ";" probe "${probe}")
    list(GET probe 0 x)
    list(GET probe 1 y)
    list(GET probe 2 expected)
    math(EXPR at "${data} + (${height} - 1 - ${y}) * ${row_bytes} + ${x} * 3")
    file(READ "${picture}" pixel OFFSET ${at} LIMIT 3 HEX)
    if(NOT pixel STREQUAL expected)
      message(FATAL_ERROR "pixel ${x}, ${y} of ${picture} is ${pixel} (blue, green, red), expected ${expected}: ${why}")
    endif()
  endforeach()
  set(bmp_width ${width} PARENT_SCOPE)
  set(bmp_height ${height} PARENT_SCOPE)
endfunction()
