/* Introspection exported by the stand-in sensor libraries, next to the ten SDK entry points.
 * A test finds these with dlsym on the library the loader already opened.
 *
 * The scripted stand-in reads its sensors from the file named by KESTRUN_SDK_SCENARIO, afresh at
 * every sdkInit (which also resets the counters below). One line each; a line starting with '#'
 * is a comment:
 *   sensor <name>                          starts the next sensor
 *   <kind> <index> <label> = <v0> [v1 ...]  a reading of the last sensor; kind is temperature,
 *                                          fan, power, clock or usage; value vN serves cycle N
 *                                          (the last value serves all later cycles);
 *                                          "nan", "inf" and "-inf" are values too
 *   delay_us <n>                           every read call sleeps n microseconds
 *   uninit_result <n>                      what sdkUninit returns
 *   hang_init                              sdkInit does not return until standinReleaseHangs
 *   hang_read <n>                          nor does the n-th read call after sdkInit (from 1)
 *   overflow_init, overflow_read <n>       the same calls recurse until their stack overflows
 * A label or sensor name "@unterminated" is written as 256 bytes without a terminating NUL.
 * A cycle starts with each sdkSensorCount call.
 * For a test that runs the program as a child, standard error gets the line
 * "sdkstandin: <entry point> hangs" when a hang begins, and "sdkstandin: call after sdkUninit"
 * at the first call that follows sdkUninit.
 */
#ifndef KESTRUN_TEST_SDKSTANDIN_H
#define KESTRUN_TEST_SDKSTANDIN_H

#ifdef __cplusplus
extern "C" {
#endif

struct StandinStats {
    int initCalls;
    int initArgument;
    int uninitCalls;
    int callsAfterUninit; /* any entry point called after sdkUninit */
    long readCalls;       /* the five read functions */
    int cycles;           /* sdkSensorCount calls */
    unsigned long initThread;
    unsigned long readThread; /* thread of the first read */
    long readsOffThread;      /* reads on any other thread */
    int hangs;                /* scripted hangs begun */
};

typedef struct StandinStats (*StandinStatsFn)(void);
struct StandinStats standinStats(void);

/* Lets every scripted hang return, until the next sdkInit. */
typedef void (*StandinReleaseHangsFn)(void);
void standinReleaseHangs(void);

#ifdef __cplusplus
}
#endif

#endif
