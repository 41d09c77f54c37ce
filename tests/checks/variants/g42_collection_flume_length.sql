-- The collection flume is shorter than its weir and wall are wide.
-- expect: G42
-- level: 2
UPDATE tbl_rvldaten SET GEO_L = 2.5 WHERE bez = 'S1';
