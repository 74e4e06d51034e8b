// The limiter engine: everything between the host's sample buffers and the
// limited, requantized output, with its parameters' derived values, its
// sample-rate set-up and its meter feed. It knows nothing of the plug-in
// interface; the effect class feeds it resolved channel pointers.
//
// Threads: process*() runs on the host's audio thread and takes the engine lock
// for the block (1000 ms at most; a block that cannot get it writes silence and
// leaves the state alone). setSampleRate() and a TransShape change wait for the
// lock without limit. Every other setParameter() is a relaxed atomic store that
// the loop picks up at its next sample or block. getMeters() may run on any
// thread and takes no lock.
#pragma once

#include <cstdint>

#include "platform/engine_lock.h"

namespace kt {

class LimiterEngine {
public:
    // Allocates every buffer and table at the capacity the largest rate needs
    // and sets the engine up for 44100 Hz with its start values.
    LimiterEngine();
    ~LimiterEngine();
    LimiterEngine(const LimiterEngine&) = delete;
    LimiterEngine& operator=(const LimiterEngine&) = delete;

    // The engine part of a parameter change for indices 0..21: stores v and
    // updates the derived values. Other indices are ignored. Any thread.
    void setParameter(int index, float v);
    // The last v stored for indices 0..21; 0 for any other index.
    float getParameter(int index) const;

    // Sets the engine up for a new rate (out-of-range rates count as 44100) and
    // resets the running state. Returns the latency in samples.
    int setSampleRate(float rate);
    int latency() const;      // lookaheadLength + 31: 159, 287 or 543
    int rateShift() const;    // 0, 1 or 2
    int sampleRateHz() const;

    // Clears the running state (takes the lock).
    void suspend();

    // One block. inR may equal inL (mono input); outR may be null (no second
    // output: only outL is written) or equal outL (the left result remains).
    // Buffers may alias inputs. Runs the calibration generator instead of the
    // limiter while Calibrate is not off.
    void process(const float* inL, const float* inR, float* outL, float* outR, int frames);
    void process(const double* inL, const double* inR, double* outL, double* outR, int frames);

    // Writes input peak L/R, output peak L/R, input RMS L/R, output RMS L/R and
    // lowest gain L/R into out[0..9], then asks the loop to restart its holds.
    void getMeters(float out[10]);

    EngineLock& engineLock() { return engineLock_; }

private:
    EngineLock engineLock_;
    struct State;      // every field of the signal path, owned here
    State* state_;
};

}  // namespace kt
