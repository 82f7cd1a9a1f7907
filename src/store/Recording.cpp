#include "store/Recording.h"

#include <algorithm>

#include "store/QFConstants.h"

namespace qf {

void CRecording::Run(const int* acceptedSeconds) {
    if (acceptedSeconds != nullptr) {
        const int seconds = std::clamp(*acceptedSeconds, 1, MAX_INTERVAL_SEC);
        m_state.m_nIntervalMs = seconds * 1000;
        if (m_state.m_bLiveIdle) {
            m_state.m_bLiveIdle = false;
            m_state.m_bLiveRecording = true;
        }
        // The next valid frame starts the recording at index 0.
        m_state.m_bStartPending = true;
        m_state.m_bRecording = true;
    }
    if (m_state.m_bRecording) {
        m_state.m_bHasGraphData = true;
    }
}

void CRecording::Stop() {
    m_state.m_bStopped = true;
    m_state.m_bRecording = false;
    m_state.m_bRecordTick = false;
    m_state.m_bLiveRecording = false;
}

bool CRecording::OnValidFrame(std::time_t now) {
    m_state.m_bNewFrame = true;
    m_state.m_bLinkLost = false;
    bool started = false;
    if (m_state.m_bStartPending && m_state.m_bStopped) {
        m_state.m_bStartPending = false;
        m_state.m_bStopped = false;
        m_state.m_tmStart = now;
        m_state.m_nSampleIndex = 0;
        started = true;
    }
    if (!m_state.m_bRecording) {
        m_state.m_bLiveIdle = true;
    }
    return started;
}

bool CRecording::CheckRecordLimit() {
    if (m_state.m_nSampleIndex < RECORD_LIMIT) {
        return false;
    }
    m_state.m_bStopped = true;
    m_state.m_bRecording = false;
    m_state.m_bLiveRecording = false;
    return true;
}

bool CRecording::OnSamplingTick() {
    // Nothing is committed before the pending start: the slot still belongs to the last
    // recording, and the start resets the index anyway.
    if (!m_state.m_bNewFrame || !m_state.m_bRecording || m_state.m_bStartPending) {
        return false;
    }
    // The frame writes the slot at the index, which must stay inside the arrays.
    if (m_state.m_nSampleIndex >= MAX_SAMPLES - 1) {
        return false;
    }
    m_state.m_bRecordTick = true;
    ++m_state.m_nSampleIndex;
    m_state.m_bNewFrame = false;
    return true;
}

bool CRecording::CommitMissingSample() {
    if (!m_state.m_bRecording || m_state.m_bStartPending ||
        m_state.m_nSampleIndex >= MAX_SAMPLES - 1) {
        return false;
    }
    m_state.m_bRecordTick = true;
    ++m_state.m_nSampleIndex;
    m_state.m_bNewFrame = false;
    return true;
}

void CRecording::OnLinkLost() {
    m_state.m_bLinkLost = true;
    m_state.m_bRecordTick = false;
    m_state.m_bLiveIdle = false;
    m_state.m_bRecording = false;
    m_state.m_bLiveRecording = false;
    m_state.m_bStopped = true;
}

}  // namespace qf
