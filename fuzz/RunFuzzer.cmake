# Runs one fuzz target on its seed corpus, which it only reads.
#   cmake -DFUZZER=<program> -DCORPUS=<seed folder> -DWORK=<scratch folder>
#         -DSEED=<n> -DRUNS=<n> [-DGUI=ON] -P RunFuzzer.cmake   (the test command)
#   cmake ... -DSECONDS=<n> -P RunFuzzer.cmake                  (build.sh fuzz)
#
# With SEED and RUNS, every seed and then RUNS inputs made from them with that
# seed, so that the same commit gives the same verdict every time, on any
# machine. libFuzzer is deterministic only when nothing but the inputs steers
# it, hence:
#  - no time limit, per input or in total, and no memory limit sampled by a
#    clock (one allocation above 2 GB still fails, at the same input each time);
#  - one process, and the seeds in one order (by size, then by name);
#  - the plain choice of what to mutate next: the entropic schedule does not
#    choose the same from one run to the next;
#  - no guidance from compared values, which include addresses;
#  - no address randomization where the system allows turning it off: the
#    standard library's inline code branches on how two addresses compare
#    (whether a string overlaps another), and so does the toolkit;
#  - for the gui targets (GUI), leaks are checked at exit only: the toolkit's
#    own threads allocate too, so the count of allocations during one input,
#    which decides whether libFuzzer runs it again for a leak check, varies.
#    Any leak still fails the run.
# With SECONDS, a random seed and libFuzzer's full guidance for that long.
#
# New inputs go to WORK/corpus, failing inputs to WORK/findings/.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/findings)

# The seeds are given by name (GLOB sorts): libFuzzer runs seeds of one size
# in the order it gets them, and a folder's order differs between file systems.
file(GLOB seeds LIST_DIRECTORIES false ${CORPUS}/*)
list(LENGTH seeds count)
if(count EQUAL 0)
  message(FATAL_ERROR "No seeds in ${CORPUS}")
endif()
if(CORPUS MATCHES ",")
  message(FATAL_ERROR "libFuzzer's list of seeds cannot hold a path with a comma: ${CORPUS}")
endif()
string(REPLACE ";" "," seed_list "${seeds}")
file(WRITE ${WORK}/seeds.txt "${seed_list}")

set(options -seed_inputs=@${WORK}/seeds.txt -artifact_prefix=${WORK}/findings/ -print_final_stats=1)
set(launcher)
if(DEFINED SECONDS)
  list(APPEND options -max_total_time=${SECONDS} -timeout=25)
else()
  math(EXPR total "${count} + ${RUNS}")
  list(APPEND options -seed=${SEED} -runs=${total} -shuffle=0 -reload=0 -entropic=0 -use_cmp=0
       -timeout=0 -rss_limit_mb=0 -malloc_limit_mb=2048)
  if(GUI)
    list(APPEND options -detect_leaks=0)
  endif()
  execute_process(COMMAND setarch -R true RESULT_VARIABLE no_aslr OUTPUT_QUIET ERROR_QUIET)
  if(no_aslr EQUAL 0)
    set(launcher setarch -R)
  else()
    message(WARNING "Address randomization stays on here (setarch -R fails): "
      "a run may differ slightly from one on another machine")
  endif()
endif()

# Qt's hash order is otherwise random per process.
set(ENV{QT_HASH_SEED} 0)
execute_process(COMMAND ${launcher} ${FUZZER} ${options} ${WORK}/corpus
  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  get_filename_component(name ${CORPUS} NAME)
  file(GLOB findings ${WORK}/findings/*)
  list(JOIN findings "\n  " found)
  message(FATAL_ERROR "${FUZZER} failed (exit code ${rc}). What it found:\n  ${found}\n"
    "Reproduce:  ${FUZZER} <file>\n"
    "Minimize:   ${FUZZER} -minimize_crash=1 -runs=100000 "
    "-exact_artifact_path=${WORK}/findings/minimized <file>\n"
    "Then add the minimized input to fuzz/corpus/${name}/ (named by its SHA-1) with a "
    "regression test, before the fix.")
endif()
