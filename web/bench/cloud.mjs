// Prints the page's point cloud of the default world once it is complete, as
// tools/plim_cloud.cpp prints a build's: one point a line, each coordinate
// as the bits of its 32-bit float in hexadecimal.
import { openPage, startBrowser, untilIdle } from '../browser.mjs';

const session = await startBrowser({ unlimited: true });
try {
  const page = await openPage(session);
  await untilIdle(page);
  const lines = await page.run(() => {
    const bits = new DataView(new ArrayBuffer(4));
    const hex = (value) => {
      bits.setFloat32(0, value);
      return bits.getUint32(0).toString(16).padStart(8, '0');
    };
    const out = [];
    for (let i = 0; i < Module._plim_cloud_size(); ++i) {
      const point = [0, 1, 2].map((axis) => hex(Module._plim_cloud_coordinate(3 * i + axis)));
      out.push(point.join(' '));
    }
    return out;
  });
  console.log(lines.join('\n'));
} finally {
  await session.close();
}
