#include "platform/capture/filter.h"

Pin::Pin(BaseFilter* owner, PinDirection direction, PinCategory category, MajorType major)
    : m_owner(owner), m_direction(direction), m_category(category), m_major(major) {}

void Pin::Link(Pin* output, Pin* input) {
    if (output == nullptr || input == nullptr) {
        return;
    }
    output->Unlink();
    input->Unlink();
    output->m_connected = input;
    input->m_connected = output;
}

void Pin::Unlink() {
    if (m_connected != nullptr) {
        m_connected->m_connected = nullptr;
        m_connected = nullptr;
    }
}

BaseFilter::~BaseFilter() {
    for (auto& pin : m_pins) {
        pin->Unlink();
    }
}

void BaseFilter::JoinGraph(FilterGraph* graph, std::string name) {
    m_graph = graph;
    m_nameInGraph = std::move(name);
}

Pin* BaseFilter::AddPin(std::unique_ptr<Pin> pin) {
    m_pins.push_back(std::move(pin));
    return m_pins.back().get();
}
