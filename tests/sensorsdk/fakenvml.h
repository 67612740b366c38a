#pragma once

// Control of the stand-in libnvidia-ml.so.1 built for the tests. The test opens the stand-in with
// dlopen (the same copy the sensor library loads later) and scripts its GPUs.

struct FakeNvmlGpu {
    unsigned domain;
    unsigned bus;
    const char *name;
    unsigned temperature; // degrees Celsius
    unsigned utilisation; // percent
    unsigned clock;       // MHz
    unsigned powerMilliwatts;
    unsigned fanRpm; // 0: the driver reports no RPM
    int lost;        // every query fails as for a GPU that fell off the bus
};

// initResult is what nvmlInit_v2 returns (0 = success); the GPUs are copied.
using FakeNvmlConfigure = void (*)(int initResult, unsigned count, const FakeNvmlGpu *gpus);
// The scripted GPU, for changes between samples.
using FakeNvmlGpuAt = FakeNvmlGpu *(*)(unsigned index);
// Sets the total memory the scripted GPU reports; 0 (as after configuring) fails the query.
using FakeNvmlSetMemory = void (*)(unsigned index, unsigned long long totalBytes);
// Device queries answered so far (temperature, utilisation, clock, power, fan).
using FakeNvmlQueries = int (*)();
// Successful nvmlInit_v2 calls not yet matched by nvmlShutdown.
using FakeNvmlOpenSessions = int (*)();
