// The verification run's services on the real platform: the disc-ID lookup
// service, the rip database with its local record cache, album passes over
// the decoder plug-ins and cover pictures decoded through the platform.
#pragma once
#include "verify/verification_run.h"

VerificationServices platform_verification_services();
