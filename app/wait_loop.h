#pragma once

namespace qw {

/// Waits the given time on the user-interface thread, handling pending window events
/// every 10 ms so that windows keep painting and answering.
void waitProcessingEvents(int milliseconds);

} // namespace qw
