// The encoder tests are being written.
