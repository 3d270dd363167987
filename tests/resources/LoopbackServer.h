// An HTTP or HTTPS server on 127.0.0.1 at a free port, run by a test in its own process and
// stopped when the object goes. Nothing here talks to any other address.
#pragma once

#include <httplib.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

class LoopbackServer {
public:
  // Plain HTTP.
  LoopbackServer() : m_server(std::make_unique<httplib::Server>()) {}
  // HTTPS with the given certificate and key files.
  LoopbackServer(const std::string& certificate, const std::string& key)
      : m_server(std::make_unique<httplib::SSLServer>(certificate.c_str(), key.c_str())) {}
  ~LoopbackServer() { stop(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  httplib::Server& routes() { return *m_server; }

  // Binds and serves in a background thread; returns the base address ("http://127.0.0.1:N").
  std::string start(const char* scheme = "http") {
    m_port = m_server->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    for (int i = 0; i < 5000 && !m_server->is_running(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(m_port);
  }
  void stop() {
    if (m_thread.joinable()) {
      m_server->stop();
      m_thread.join();
    }
  }
  bool stopping() const { return !m_server->is_running(); }

private:
  std::unique_ptr<httplib::Server> m_server;
  std::thread m_thread;
  int m_port = 0;
};
