// Serves the files of one folder over HTTP on 127.0.0.1, streaming them from disk, with
// keep-alive for many requests. Prints "PORT n" once it listens; runs until killed.
//
// usage: bench_file_server FOLDER

#include <httplib.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: bench_file_server FOLDER\n";
    return 2;
  }
  const std::string folder = argv[1];
  httplib::Server server;
  server.set_keep_alive_max_count(100000);
  server.set_tcp_nodelay(true);  // small answers would otherwise wait for delayed acknowledgements
  server.Get(R"(/([^/]+))", [&](const httplib::Request& req, httplib::Response& res) {
    auto file = std::make_shared<std::ifstream>(folder + "/" + req.matches[1].str(), std::ios::binary);
    if (!*file) {
      res.status = 404;
      return;
    }
    file->seekg(0, std::ios::end);
    const size_t size = static_cast<size_t>(file->tellg());
    file->seekg(0);
    res.set_content_provider(size, "application/octet-stream",
                             [file](size_t offset, size_t length, httplib::DataSink& sink) {
                               std::vector<char> block(std::min<size_t>(length, 256 * 1024));
                               file->seekg(static_cast<std::streamoff>(offset));
                               file->read(block.data(), static_cast<std::streamsize>(block.size()));
                               sink.write(block.data(), static_cast<size_t>(file->gcount()));
                               return true;
                             });
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::printf("PORT %d\n", port);
  std::fflush(stdout);
  server.listen_after_bind();
  return 0;
}
