-- Upstream rectangular, downstream circular bottom.
-- expect: G10
-- level: 2
UPDATE tbl_rvldaten SET GEO_uT1 = 'K' WHERE bez = 'G9';
