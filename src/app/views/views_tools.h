// The result views the frame opens by command: graphs (14), numeric values (12), dynamics (13),
// with their companion windows, the colour legend and the scales window.
#pragma once

void registerViewTools();
