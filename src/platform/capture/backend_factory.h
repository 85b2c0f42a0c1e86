#pragma once
// Builds the back end the environment asks for: the synthetic devices of
// the file named by QUORVALIND_SYNTHETIC_DEVICES, else the real devices.

#include <memory>

class CaptureBackend;

std::shared_ptr<CaptureBackend> CreateBackendFromEnvironment();
