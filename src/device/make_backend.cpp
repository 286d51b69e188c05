#include "device/make_backend.h"

#include "device/hidapi_backend.h"
#include "device/sim_state_file.h"
#include "device/simulated_backend.h"

namespace kx700::device {

Status MakeBackend(const BackendChoice& choice, Backend& out) {
    if (!choice.simulate && !choice.simState) {
        out.sim.reset();
        out.backend = std::make_unique<HidapiBackend>();
        return Status::Ok();
    }
    SimulatedMouseState state;
    bool existed = false;
    if (choice.simState) {
        if (Status loaded = LoadSimState(*choice.simState, state, existed); !loaded) return loaded;
    }
    out.sim = std::make_shared<SimulatedMouse>(std::move(state));
    out.backend = std::make_unique<SimulatedBackend>(out.sim);
    return Status::Ok();
}

}  // namespace kx700::device
