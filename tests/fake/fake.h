// The in-memory desktop used by the unit tests (being written).
#pragma once
