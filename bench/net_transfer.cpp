// Network transfer benchmarks.
//   bench_net_transfer upload HOST PORT FILE NAME   one FTP upload, as the send command does it
//   bench_net_transfer download URL FILE            one HTTP download, as the catalogue update does it
// Without arguments: Google Benchmark runs of the protocol parsers.
// bench/compare_net.sh runs the transfers against local servers and compares them with curl.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFileInfo>

#include "net/FtpReply.h"
#include "net/HttpResponseHead.h"
#include "net/NetError.h"
#include "net/TFtpClient.h"
#include "net/TNMHTTP.h"

namespace {
void report(const char* what, qint64 bytes, qint64 ms)
{
    std::printf("%s %lld bytes in %lld ms: %.1f MB/s\n", what, static_cast<long long>(bytes),
                static_cast<long long>(ms), ms > 0 ? bytes / 1e6 / (ms / 1e3) : 0.0);
}

int upload(const char* host, const char* port, const char* path, const char* name)
{
    TFtpClient client;
    client.SetHostName(QString::fromLocal8Bit(host));
    client.SetPort(static_cast<quint16>(QByteArray(port).toUInt()));
    client.SetLocalFileName(QString::fromLocal8Bit(path));
    client.SetHostFileName(QString::fromLocal8Bit(name));
    QElapsedTimer clock;
    clock.start();
    const bool ok = client.Connect() && client.Put();
    const qint64 ms = clock.elapsed();
    client.Quit();
    if (!ok) {
        std::fprintf(stderr, "upload failed: %s\n", client.LastReply().text.toLocal8Bit().constData());
        return 1;
    }
    report("upload", QFileInfo(QString::fromLocal8Bit(path)).size(), ms);
    return 0;
}

int download(const char* url, const char* path)
{
    TNMHTTP http;
    http.SetBody(QString::fromLocal8Bit(path));
    http.SetTimeOut(30000);
    bool success = false;
    http.OnSuccess = [&] { success = true; };
    QElapsedTimer clock;
    clock.start();
    try {
        http.Get(QString::fromLocal8Bit(url));
    } catch (const NetError& error) {
        std::fprintf(stderr, "download failed: %s\n", error.what());
        return 1;
    }
    if (!success) {
        std::fprintf(stderr, "download failed with status %d\n", http.StatusCode());
        return 1;
    }
    report("download", QFileInfo(QString::fromLocal8Bit(path)).size(), clock.elapsed());
    return 0;
}

void BM_ResponseHead(benchmark::State& state)
{
    const QByteArray text =
        "HTTP/1.0 200 OK\r\nServer: SimpleHTTP/0.6 Python/3.11\r\nDate: Wed, 09 Dec 2026 12:00:00 GMT\r\n"
        "Content-type: application/octet-stream\r\nContent-Length: 209715200\r\n"
        "Last-Modified: Wed, 09 Dec 2026 11:00:00 GMT\r\n\r\nbody";
    for (auto _ : state) {
        HttpResponseHead head;
        QByteArray buffer = text;
        benchmark::DoNotOptimize(head.feed(buffer));
    }
}
BENCHMARK(BM_ResponseHead);

void BM_FtpReplyLines(benchmark::State& state)
{
    const QByteArray lines[] = {"220-Welcome to the server", "220-Please behave", "220 ready", "331 password please"};
    for (auto _ : state)
        for (const QByteArray& line : lines)
            benchmark::DoNotOptimize(FtpReply::classify(line));
}
BENCHMARK(BM_FtpReplyLines);
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 6 && std::strcmp(argv[1], "upload") == 0)
        return upload(argv[2], argv[3], argv[4], argv[5]);
    if (argc == 4 && std::strcmp(argv[1], "download") == 0)
        return download(argv[2], argv[3]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
