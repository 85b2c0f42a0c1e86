#include "platform/capture/renderer.h"

BaseRenderer::BaseRenderer()
    : m_input(AddPin(
          std::make_unique<Pin>(this, PinDirection::Input, PinCategory::None, MajorType::Any))) {}

HRESULT BaseRenderer::Receive(MediaSample* sample) {
    if (!m_running.load()) {
        return S_FALSE;
    }
    const HRESULT hr = DoRenderSample(sample);
    m_rendered.fetch_add(1);
    return hr;
}

HRESULT BaseRenderer::Run() {
    m_running.store(true);
    return S_OK;
}

HRESULT BaseRenderer::Stop() {
    m_running.store(false);
    return S_OK;
}
