#pragma once
// The HTTP server of `korvane-cli docs serve`, apart from the command so that it can be run in process.

#include <memory>

#include "docs/documentation_set.h"
#include "platform/local_http_server.h"

namespace korvane {

// Serves the set's pages (ServePage) on 127.0.0.1:`port`, or on a free port for 0, with links back to
// the server itself; nullptr when the port cannot be had.
std::unique_ptr<LocalHttpServer> StartDocsServer(std::shared_ptr<const DocumentationSet> set, int port);

}  // namespace korvane
