// The window the modem file must not see.
#pragma once
