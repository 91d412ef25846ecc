// Icon objects made from resource bytes, for the native build.
#pragma once
