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
 * A label or sensor name "@unterminated" is written as 256 bytes without a terminating NUL.
 * A cycle starts with each sdkSensorCount call.
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
    int callsAfterUninit;  /* any entry point called after sdkUninit */
    long readCalls;        /* the five read functions */
    int cycles;            /* sdkSensorCount calls */
    unsigned long initThread;
    unsigned long readThread;  /* thread of the first read */
    long readsOffThread;       /* reads on any other thread */
};

typedef struct StandinStats (*StandinStatsFn)(void);
struct StandinStats standinStats(void);

#ifdef __cplusplus
}
#endif

#endif
