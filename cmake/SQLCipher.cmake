# The register engine, as the target vostrel_sqlcipher: a system SQLCipher of
# at least 4.6 when pkg-config finds one, otherwise the pinned amalgamation
# (tools/scripts/fetch-sqlcipher.sh), built here as a static library.
option(VOSTREL_BUNDLED_SQLCIPHER "Build the pinned SQLCipher even when the system has one" OFF)
set(VOSTREL_SQLCIPHER_MINIMUM 4.6)

if(NOT VOSTREL_BUNDLED_SQLCIPHER)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SYSTEM_SQLCIPHER QUIET IMPORTED_TARGET sqlcipher>=${VOSTREL_SQLCIPHER_MINIMUM})
endif()

if(SYSTEM_SQLCIPHER_FOUND)
  message(STATUS "SQLCipher: system library ${SYSTEM_SQLCIPHER_VERSION}")
  add_library(vostrel_sqlcipher INTERFACE)
  target_link_libraries(vostrel_sqlcipher INTERFACE PkgConfig::SYSTEM_SQLCIPHER)
else()
  set(amalgamation ${CMAKE_BINARY_DIR}/_deps/sqlcipher)
  execute_process(
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/../tools/scripts/fetch-sqlcipher.sh ${amalgamation}
    RESULT_VARIABLE fetched)
  if(NOT fetched EQUAL 0)
    message(FATAL_ERROR "SQLCipher: the pinned amalgamation could not be fetched or did not verify")
  endif()
  file(STRINGS ${amalgamation}/sqlite3.c cipher_version REGEX "^#define CIPHER_VERSION_NUMBER " LIMIT_COUNT 1)
  string(REGEX REPLACE ".* " "" cipher_version "${cipher_version}")
  if(cipher_version VERSION_LESS VOSTREL_SQLCIPHER_MINIMUM)
    message(FATAL_ERROR "SQLCipher: the amalgamation is version '${cipher_version}', at least ${VOSTREL_SQLCIPHER_MINIMUM} is needed")
  endif()
  message(STATUS "SQLCipher: pinned amalgamation ${cipher_version}")

  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
  find_package(Threads REQUIRED)
  add_library(vostrel_sqlcipher STATIC ${amalgamation}/sqlite3.c)
  target_include_directories(vostrel_sqlcipher SYSTEM PUBLIC ${amalgamation})
  # Engine options (third-party C: built without the project's warnings):
  #  SQLITE_HAS_CODEC               declares the keying calls (sqlite3_key) in sqlite3.h
  #  SQLITE_EXTRA_INIT/SHUTDOWN     hook the codec into library start and end (SQLCipher needs them)
  #  SQLCIPHER_CRYPTO_OPENSSL       page cipher, HMAC and key derivation from the system's OpenSSL,
  #                                 which gets the distribution's security updates
  #  SQLCIPHER_OMIT_LOG             the engine writes no log of its own (it would go to stderr)
  #  SQLITE_THREADSAFE=2            a handle is used by one thread at a time, as the program and
  #                                 the tools do; no per-handle mutex (SQLCipher needs 1 or 2)
  #  SQLITE_TEMP_STORE=3            temporary tables and sort files stay in memory: no plain
  #                                 text of the register is ever written to a temporary file
  #  SQLITE_OMIT_LOAD_EXTENSION     no code can be loaded into the engine at run time
  #  (no SQLITE_ENABLE_RTREE/FTS3/FTS4) the modules behind known crashes from crafted files are
  #                                 left out: the register uses none of them
  #  SQLITE_ENABLE_FTS5             kept for a later full-text search index
  #  SQLITE_DQS=0                   "text" is always an identifier, never a string literal
  #  SQLITE_DEFAULT_MEMSTATUS=0     no global memory statistics: no lock around every allocation
  #  SQLITE_TRUSTED_SCHEMA=0        functions with side effects never run from a file's schema
  #  SQLITE_OMIT_SHARED_CACHE       one cache per handle, as the program uses them
  #  HAVE_USLEEP=1                  the busy timeout waits in milliseconds, not whole seconds
  #  HAVE_STDINT_H=1                the codec uses the fixed-width integer types
  target_compile_definitions(vostrel_sqlcipher
    PUBLIC SQLITE_HAS_CODEC=1
    PRIVATE
      SQLITE_EXTRA_INIT=sqlcipher_extra_init
      SQLITE_EXTRA_SHUTDOWN=sqlcipher_extra_shutdown
      SQLCIPHER_CRYPTO_OPENSSL
      SQLCIPHER_OMIT_LOG
      SQLITE_THREADSAFE=2
      SQLITE_TEMP_STORE=3
      SQLITE_OMIT_LOAD_EXTENSION
      SQLITE_ENABLE_FTS5
      SQLITE_DQS=0
      SQLITE_DEFAULT_MEMSTATUS=0
      SQLITE_TRUSTED_SCHEMA=0
      SQLITE_OMIT_SHARED_CACHE
      HAVE_USLEEP=1
      HAVE_STDINT_H=1)
  target_link_libraries(vostrel_sqlcipher PUBLIC OpenSSL::Crypto Threads::Threads m)
endif()
