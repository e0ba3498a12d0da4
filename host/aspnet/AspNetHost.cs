// Serves a folder of .aspx pages on 127.0.0.1: HttpListener takes the
// requests, an ASP.NET application (ApplicationHost) runs them.
//
//   mono AspNetHost.exe SITE PORT [--ignore-stdin]
//
// The application's domain loads this program's assembly too: MONO_PATH must
// name its folder (the aspnet-host script beside it does so).
//
// PORT 0 picks a free port. Once listening, prints the base URL
// ("http://127.0.0.1:PORT/") on one line. Stops on SIGTERM, SIGINT or when
// standard input closes (unless --ignore-stdin).
using System;
using System.Collections.Generic;
using System.IO;
using System.Net;
using System.Net.Sockets;
using System.Reflection;
using System.Text;
using System.Threading;
using System.Web;
using System.Web.Hosting;
using Mono.Unix;
using Mono.Unix.Native;

namespace Tallowick.AspNet {

// One request as it crosses into the application's domain.
[Serializable]
public sealed class Request {
  public string Method;
  public string Path;  // absolute path, unescaped
  public string Query; // without '?'
  public string RawUrl;
  public string Protocol;
  public string RemoteAddress;
  public int RemotePort;
  public int LocalPort;
  public List<KeyValuePair<string, string>> Headers = new List<KeyValuePair<string, string>>();
  public byte[] Body = new byte[0];
}

// The answer as ASP.NET sent it: status, headers in order, body.
[Serializable]
public sealed class Response {
  public int Status = 200;
  public string StatusText = "OK";
  public List<KeyValuePair<string, string>> Headers = new List<KeyValuePair<string, string>>();
  public byte[] Body = new byte[0];
}

// The worker request ASP.NET runs a request through: it carries the whole
// request body (POSTs) and collects the answer.
sealed class WorkerRequest : SimpleWorkerRequest {
  readonly Request request_;
  readonly Response response_;
  readonly MemoryStream body_ = new MemoryStream();
  readonly string appPhysicalPath_;
  readonly ManualResetEvent done_;
  int bodyRead_;

  public WorkerRequest(Request request, Response response, string appPhysicalPath,
                       ManualResetEvent done)
      : base("/", appPhysicalPath, request.Path.TrimStart('/'), request.Query, null) {
    request_ = request;
    response_ = response;
    appPhysicalPath_ = appPhysicalPath;
    done_ = done;
  }

  public override string GetHttpVerbName() { return request_.Method; }
  public override string GetHttpVersion() { return request_.Protocol; }
  public override string GetRawUrl() { return request_.RawUrl; }
  public override string GetUriPath() { return request_.Path; }
  public override string GetQueryString() { return request_.Query; }
  public override string GetRemoteAddress() { return request_.RemoteAddress; }
  public override int GetRemotePort() { return request_.RemotePort; }
  public override string GetLocalAddress() { return "127.0.0.1"; }
  public override int GetLocalPort() { return request_.LocalPort; }
  public override string GetServerName() { return "127.0.0.1"; }
  public override string GetAppPath() { return "/"; }
  public override string GetAppPathTranslated() { return appPhysicalPath_; }

  public override string GetFilePath() {
    // The path up to and including the page; what follows is path info.
    string path = request_.Path;
    int at = path.IndexOf(".aspx/", StringComparison.OrdinalIgnoreCase);
    return at < 0 ? path : path.Substring(0, at + 5);
  }
  public override string GetPathInfo() {
    return request_.Path.Substring(GetFilePath().Length);
  }
  public override string GetFilePathTranslated() { return MapPath(GetFilePath()); }
  public override string MapPath(string virtualPath) {
    string relative = (virtualPath ?? "/").TrimStart('/').Replace('/', Path.DirectorySeparatorChar);
    return Path.Combine(appPhysicalPath_, relative);
  }

  string Header(string name) {
    foreach (var header in request_.Headers)
      if (string.Equals(header.Key, name, StringComparison.OrdinalIgnoreCase))
        return header.Value;
    return null;
  }
  public override string GetKnownRequestHeader(int index) {
    return Header(GetKnownRequestHeaderName(index));
  }
  public override string GetUnknownRequestHeader(string name) { return Header(name); }
  public override string[][] GetUnknownRequestHeaders() {
    var unknown = new List<string[]>();
    foreach (var header in request_.Headers)
      if (GetKnownRequestHeaderIndex(header.Key) < 0)
        unknown.Add(new[] {header.Key, header.Value});
    return unknown.ToArray();
  }

  public override byte[] GetPreloadedEntityBody() { return request_.Body; }
  public override int GetPreloadedEntityBodyLength() { return request_.Body.Length; }
  public override int GetTotalEntityBodyLength() { return request_.Body.Length; }
  public override bool IsEntireEntityBodyIsPreloaded() { return true; }
  public override int ReadEntityBody(byte[] buffer, int size) {
    return ReadEntityBody(buffer, 0, size);
  }
  public override int ReadEntityBody(byte[] buffer, int offset, int size) {
    int count = Math.Min(size, request_.Body.Length - bodyRead_);
    if (count <= 0)
      return 0;
    Array.Copy(request_.Body, bodyRead_, buffer, offset, count);
    bodyRead_ += count;
    return count;
  }

  public override void SendStatus(int statusCode, string statusDescription) {
    response_.Status = statusCode;
    response_.StatusText = statusDescription;
  }
  public override void SendKnownResponseHeader(int index, string value) {
    response_.Headers.Add(new KeyValuePair<string, string>(GetKnownResponseHeaderName(index), value));
  }
  public override void SendUnknownResponseHeader(string name, string value) {
    response_.Headers.Add(new KeyValuePair<string, string>(name, value));
  }
  public override void SendResponseFromMemory(byte[] data, int length) {
    body_.Write(data, 0, length);
  }
  public override void SendResponseFromMemory(IntPtr data, int length) {
    var copy = new byte[length];
    System.Runtime.InteropServices.Marshal.Copy(data, copy, 0, length);
    body_.Write(copy, 0, length);
  }
  public override void SendResponseFromFile(string filename, long offset, long length) {
    using (var file = File.OpenRead(filename))
      SendResponseFromStream(file, offset, length);
  }
  public override void SendResponseFromFile(IntPtr handle, long offset, long length) {
    throw new NotSupportedException("responses from file handles");
  }
  void SendResponseFromStream(Stream stream, long offset, long length) {
    if (length < 0)
      length = stream.Length - offset;
    stream.Seek(offset, SeekOrigin.Begin);
    var buffer = new byte[64 * 1024];
    while (length > 0) {
      int read = stream.Read(buffer, 0, (int)Math.Min(buffer.Length, length));
      if (read <= 0)
        break;
      body_.Write(buffer, 0, read);
      length -= read;
    }
  }
  public override void FlushResponse(bool finalFlush) {}
  public override void EndOfRequest() {
    response_.Body = body_.ToArray();
    done_.Set();
  }
}

// Lives in the application's domain and runs requests there.
public sealed class Application : MarshalByRefObject {
  // The default domain holds this object for the server's whole life: no lease.
  public override object InitializeLifetimeService() { return null; }

  public Response Process(Request request) {
    var response = new Response();
    using (var done = new ManualResetEvent(false)) {
      var worker = new WorkerRequest(request, response, HttpRuntime.AppDomainAppPath, done);
      HttpRuntime.ProcessRequest(worker);
      if (!done.WaitOne(TimeSpan.FromSeconds(60))) {
        response.Status = 504;
        response.StatusText = "Gateway Timeout";
        response.Body = Encoding.UTF8.GetBytes("The page did not finish in 60 seconds.");
      }
    }
    return response;
  }
}

static class Server {
  const int MaxBodyBytes = 16 * 1024 * 1024;
  static string site_;
  static HttpListener listener_;
  static Application application_;
  static readonly ManualResetEvent stopping_ = new ManualResetEvent(false);

  static int Main(string[] args) {
    var positional = new List<string>();
    bool watchStdin = true;
    foreach (string arg in args) {
      if (arg == "--ignore-stdin")
        watchStdin = false;
      else
        positional.Add(arg);
    }
    int port;
    if (positional.Count != 2 || !int.TryParse(positional[1], out port) || port < 0 ||
        port > 65535) {
      Console.Error.WriteLine("usage: AspNetHost.exe SITE PORT [--ignore-stdin]");
      return 2;
    }
    string site = site_ = Path.GetFullPath(positional[0]);
    if (!Directory.Exists(site)) {
      Console.Error.WriteLine("AspNetHost: no such folder: " + site);
      return 2;
    }
    try {
      application_ = (Application)ApplicationHost.CreateApplicationHost(typeof(Application), "/", site);
      listener_ = Listen(port, out port);
    } catch (Exception error) {
      Console.Error.WriteLine("AspNetHost: cannot start: " + error.Message);
      return 1;
    }
    Console.Out.WriteLine("http://127.0.0.1:" + port + "/");
    Console.Out.Flush();

    WatchSignals();
    if (watchStdin)
      WatchStdin();
    var accepting = new Thread(Accept) {IsBackground = true};
    accepting.Start();
    stopping_.WaitOne();
    // Tearing down the application's domain at exit can hang in this runtime:
    // the process ends once the listener has stopped, and at the latest 5 s on.
    new Thread(() => {
      Thread.Sleep(5000);
      Stdlib._Exit(0);
    }) {IsBackground = true}.Start();
    Shutdown();
    Console.Out.Flush();
    Stdlib._Exit(0);
    return 0;
  }

  // A listener on 127.0.0.1:port; port 0 takes a free port (a few tries, as
  // another process may take the probed port first).
  static HttpListener Listen(int port, out int bound) {
    for (int attempt = 0;; ++attempt) {
      int candidate = port != 0 ? port : FreePort();
      var listener = new HttpListener();
      listener.Prefixes.Add("http://127.0.0.1:" + candidate + "/");
      try {
        listener.Start();
        bound = candidate;
        return listener;
      } catch (Exception) {
        listener.Close();
        if (port != 0 || attempt >= 9)
          throw;
      }
    }
  }

  static int FreePort() {
    var probe = new TcpListener(IPAddress.Loopback, 0);
    probe.Start();
    int port = ((IPEndPoint)probe.LocalEndpoint).Port;
    probe.Stop();
    return port;
  }

  static void WatchSignals() {
    var signals = new[] {new UnixSignal(Signum.SIGTERM), new UnixSignal(Signum.SIGINT)};
    new Thread(() => {
      UnixSignal.WaitAny(signals);
      stopping_.Set();
    }) {IsBackground = true}.Start();
  }

  static void WatchStdin() {
    new Thread(() => {
      try {
        var input = Console.OpenStandardInput();
        var buffer = new byte[256];
        while (input.Read(buffer, 0, buffer.Length) > 0) {
        }
      } catch (Exception) {
      }
      stopping_.Set();
    }) {IsBackground = true}.Start();
  }

  static void Accept() {
    while (!stopping_.WaitOne(0)) {
      HttpListenerContext context;
      try {
        context = listener_.GetContext();
      } catch (Exception) {
        return; // the listener stopped
      }
      ThreadPool.QueueUserWorkItem(_ => Serve(context));
    }
  }

  static void Serve(HttpListenerContext context) {
    try {
      Response response;
      try {
        response = application_.Process(ToRequest(context.Request));
      } catch (InvalidDataException error) {
        response = new Response {Status = 413, StatusText = "Request Entity Too Large",
                                 Body = Encoding.UTF8.GetBytes(error.Message)};
      } catch (Exception error) {
        response = new Response {Status = 500, StatusText = "Internal Server Error",
                                 Body = Encoding.UTF8.GetBytes(error.ToString())};
      }
      Send(response, context.Response);
    } catch (Exception) {
      // The client went away.
    } finally {
      try {
        context.Response.Close();
      } catch (Exception) {
      }
    }
  }

  // A folder's URL serves its Default.aspx, when it has one.
  static string PagePath(string path) {
    if (!path.EndsWith("/"))
      return path;
    string folder = Path.Combine(site_, path.TrimStart('/').Replace('/', Path.DirectorySeparatorChar));
    return File.Exists(Path.Combine(folder, "Default.aspx")) ? path + "Default.aspx" : path;
  }

  static Request ToRequest(HttpListenerRequest incoming) {
    string path = incoming.Url.AbsolutePath == "" ? "/" : Uri.UnescapeDataString(incoming.Url.AbsolutePath);
    var request = new Request {
      Method = incoming.HttpMethod,
      Path = PagePath(path),
      Query = incoming.Url.Query.TrimStart('?'),
      RawUrl = incoming.RawUrl,
      Protocol = "HTTP/" + incoming.ProtocolVersion,
      RemoteAddress = incoming.RemoteEndPoint.Address.ToString(),
      RemotePort = incoming.RemoteEndPoint.Port,
      LocalPort = incoming.LocalEndPoint.Port,
    };
    foreach (string name in incoming.Headers.AllKeys)
      foreach (string value in incoming.Headers.GetValues(name))
        request.Headers.Add(new KeyValuePair<string, string>(name, value));
    if (incoming.HasEntityBody)
      request.Body = ReadBody(incoming.InputStream);
    return request;
  }

  static byte[] ReadBody(Stream input) {
    var body = new MemoryStream();
    var buffer = new byte[64 * 1024];
    int read;
    while ((read = input.Read(buffer, 0, buffer.Length)) > 0) {
      if (body.Length + read > MaxBodyBytes)
        throw new InvalidDataException("request body over " + MaxBodyBytes + " bytes");
      body.Write(buffer, 0, read);
    }
    return body.ToArray();
  }

  static void Send(Response response, HttpListenerResponse outgoing) {
    outgoing.StatusCode = response.Status;
    outgoing.StatusDescription = response.StatusText ?? "";
    foreach (var header in response.Headers) {
      string name = header.Key;
      if (string.Equals(name, "Content-Length", StringComparison.OrdinalIgnoreCase) ||
          string.Equals(name, "Transfer-Encoding", StringComparison.OrdinalIgnoreCase) ||
          string.Equals(name, "Connection", StringComparison.OrdinalIgnoreCase) ||
          string.Equals(name, "Keep-Alive", StringComparison.OrdinalIgnoreCase))
        continue;
      if (string.Equals(name, "Content-Type", StringComparison.OrdinalIgnoreCase))
        outgoing.ContentType = header.Value;
      else
        outgoing.AppendHeader(name, header.Value);
    }
    outgoing.ContentLength64 = response.Body.Length;
    outgoing.OutputStream.Write(response.Body, 0, response.Body.Length);
  }

  static void Shutdown() {
    try {
      listener_.Stop();
      listener_.Close();
    } catch (Exception) {
    }
  }
}

} // namespace Tallowick.AspNet
